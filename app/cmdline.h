// Turning the command line into a run mode.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

enum TRunMode : std::int32_t {
  rmPreview = 0,
  rmConfig = 1,
  rmSaver = 2,
  rmChangePassword = 3,
};

struct TStartRequest {
  std::int32_t ExitCode = 0;  // 0: go on in Mode; -1: end at once with -1
  TRunMode Mode = rmConfig;
  bool HasWindow = false;
  std::uint32_t Window = 0;
};

// Decimal text to a 32-bit window handle: leading white space, one optional
// sign, digits accumulated modulo 2^32, anything after them ignored.
std::uint32_t ParseWindowHandle(std::string_view text) noexcept;

// Looks only at the element count, the first two bytes of element 1 and
// element 2. `args` is the whole vector, element 0 being the program path.
TStartRequest ClassifyCommandLine(std::span<const std::string_view> args) noexcept;
TStartRequest ClassifyCommandLine(int argc, const char* const* argv) noexcept;

// True for a lead byte of a double-byte character of the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// Cuts a raw command line into an argument vector the way the Windows start-up
// code does: element 0 is `modulePath` (cut to 255 bytes), the program name on
// the command line is skipped, the rest is split at blanks with quotes and
// backslash-quote. `isLeadByte` may be null (a single-byte code page).
std::vector<std::string> SplitCommandLine(std::string_view commandLine, std::string_view modulePath,
                                          LeadBytePredicate isLeadByte);

}  // namespace quillfen
