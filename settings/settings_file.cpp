#include "settings/settings_file.h"

#include "app/errors.h"

namespace quillfen {

namespace {

constexpr int HexDigit(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> Hexadecimal(std::string_view digits) noexcept {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  int significant = 0;
  for (const char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    if (significant > 0 || d != 0) ++significant;
    if (significant > 8) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> Decimal(std::string_view text) noexcept {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

// Line 1 of the file as the count; the error quotes the line in the system's
// code page converted for the message.
std::int32_t ConvertFirstLine(const TStringList& lines, IFileAccess& files) {
  const std::string& line = lines.Get(0);
  if (const auto value = TryStrToInt(line)) return *value;
  throw EConvertError(files.SystemTextToUtf8(line));
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) noexcept {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  text.remove_prefix(start);
  if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return Hexadecimal(text.substr(1));
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return Hexadecimal(text.substr(2));
  return Decimal(text);
}

std::int32_t StrToInt(std::string_view text) {
  if (const auto value = TryStrToInt(text)) return *value;
  throw EConvertError(SanitizeUtf8(text));
}

std::string SettingsPathOf(std::string_view exePath, const TPathRules& rules) {
  std::size_t directoryEnd = 0;
  for (std::size_t i = 0; i < exePath.size(); ++i) {
    const auto c = static_cast<unsigned char>(exePath[i]);
    if (rules.IsLeadByte != nullptr && rules.IsLeadByte(c) && i + 1 < exePath.size()) {
      ++i;  // its second byte is never a separator
    } else if (rules.Separators.find(static_cast<char>(c)) != std::string_view::npos) {
      directoryEnd = i + 1;
    }
  }
  std::string path(exePath.substr(0, directoryEnd));
  path += SettingsFileName;
  return path;
}

std::string GetSettingsPath(IFileAccess& files) {
  return SettingsPathOf(files.ExecutablePath(), files.PathRules());
}

std::int32_t WindowRead(IFileAccess& files) {
  const std::string path = GetSettingsPath(files);
  if (!files.FileExists(path)) return DefaultWalkerCount;
  TStringList lines;
  lines.LoadFromFile(files, path);
  return ConvertFirstLine(lines, files);
}

std::optional<std::int32_t> TSettingsDialogModel::DialogRead(IFileAccess& files) {
  SettingsPath = GetSettingsPath(files);
  SettingsLines.Clear();
  if (!files.FileExists(SettingsPath)) {
    SettingsLines.Add(std::to_string(DefaultWalkerCount));
    return std::nullopt;
  }
  SettingsLines.LoadFromFile(files, SettingsPath);
  return ConvertFirstLine(SettingsLines, files);
}

void TSettingsDialogModel::DialogWrite(IFileAccess& files, std::string_view editText) {
  SettingsLines.Put(0, std::string(editText));
  SettingsLines.SaveToFile(files, SettingsPath);
}

}  // namespace quillfen
