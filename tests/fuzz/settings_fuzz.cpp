// Random bytes into the settings file's line splitter, the count conversion
// and the settings path, each checked against a plain reference.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_file.h"
#include "settings/string_list.h"

using namespace quillfen;

namespace {

// One byte at a time: a line ends at CR or LF, a CR directly followed by LF
// is one break, NUL ends everything.
std::vector<std::string> ReferenceSplit(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool inLine = false;  // something since the last break
  bool afterCr = false;
  for (const char c : bytes) {
    if (c == '\0') break;
    if (c == '\n' && afterCr) {
      afterCr = false;
      continue;
    }
    afterCr = false;
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      inLine = false;
      afterCr = c == '\r';
    } else {
      line += c;
      inLine = true;
    }
  }
  if (inLine) lines.push_back(line);
  return lines;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<std::int32_t> ReferenceHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  for (const char c : digits)
    if (!IsHex(c)) return std::nullopt;
  while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
  if (digits.size() > 8) return std::nullopt;
  return static_cast<std::int32_t>(std::strtoul(std::string(digits).c_str(), nullptr, 16));
}

std::optional<std::int32_t> ReferenceDecimal(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  for (const char c : text)
    if (!IsDigit(c)) return std::nullopt;
  while (text.size() > 1 && text[0] == '0') text.remove_prefix(1);
  if (text.size() > 10) return std::nullopt;
  const long long magnitude = std::strtoll(std::string(text).c_str(), nullptr, 10);
  const long long value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ReferenceStrToInt(std::string_view text) {
  while (!text.empty() && text[0] == ' ') text.remove_prefix(1);
  for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"})
    if (text.substr(0, prefix.size()) == prefix) return ReferenceHex(text.substr(prefix.size()));
  return ReferenceDecimal(text);
}

bool OddLeadBytes(unsigned char c) {
  return c >= 0x81 && c <= 0x9F;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Copy into an exactly sized heap block so ASan catches any read past it.
  std::vector<char> buf(data, data + size);
  const std::string_view bytes(buf.data(), buf.size());

  const std::vector<std::string> lines = SplitLines(bytes);
  if (lines != ReferenceSplit(bytes)) std::abort();

  // Joining and splitting again gives the same lines.
  TStringList list;
  list.SetText(bytes);
  if (SplitLines(list.Text()) != lines) std::abort();

  if (TryStrToInt(bytes) != ReferenceStrToInt(bytes)) std::abort();
  for (const auto& line : lines)
    if (TryStrToInt(line) != ReferenceStrToInt(line)) std::abort();

  const std::string path = SettingsPathOf(bytes, {"\\:", size % 2 ? OddLeadBytes : nullptr});
  const std::string_view dir = std::string_view(path).substr(0, path.size() - SettingsFileName.size());
  if (!path.ends_with(SettingsFileName) || !bytes.starts_with(dir)) std::abort();
  if (!dir.empty() && dir.back() != '\\' && dir.back() != ':') std::abort();
  return 0;
}
