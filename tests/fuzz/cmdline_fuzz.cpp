// Random bytes into the command-line splitter, the classification and the
// handle conversion: no crash, no read past the input, results in range.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/cmdline.h"

using namespace quillfen;

static bool OddLeadBytes(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Copy into an exactly sized heap block so ASan catches any read past it.
  std::vector<char> buf(data, data + size);
  const std::string_view text(buf.data(), buf.size());

  const std::uint32_t h = ParseWindowHandle(text);
  (void)h;

  const auto argv = SplitCommandLine(text, "C:\\quillfen.scr", size % 2 ? OddLeadBytes : nullptr);
  if (argv.empty() || argv[0] != "C:\\quillfen.scr") std::abort();
  std::size_t total = 0;
  for (std::size_t i = 1; i < argv.size(); ++i) total += argv[i].size();
  if (total > size) std::abort();  // arguments never hold more bytes than the line

  std::vector<std::string_view> views(argv.begin(), argv.end());
  const TStartRequest r = ClassifyCommandLine(views);
  if (r.ExitCode != 0 && r.ExitCode != -1) std::abort();
  if (r.ExitCode == 0 && (r.Mode < rmPreview || r.Mode > rmChangePassword)) std::abort();
  if (r.HasWindow != (r.ExitCode == 0 && views.size() == 3 && (r.Mode == rmPreview || r.Mode == rmChangePassword)))
    std::abort();
  if (!r.HasWindow && r.Window != 0) std::abort();
  if (r.HasWindow && r.Window != ParseWindowHandle(views[2])) std::abort();
  return 0;
}
