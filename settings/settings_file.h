// The settings file beside the executable: its path, the count on its first
// line, the saver window's read and the setup dialog's read and write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/file_access.h"
#include "settings/string_list.h"

namespace quillfen {

inline constexpr std::int32_t DefaultWalkerCount = 12;
inline constexpr std::string_view SettingsFileName = "quillfen.ini";

// Line 1's integer syntax: blanks (byte 32) before; then a decimal number
// with an optional sign within 32 bits, or one of the prefixes "$", "x", "X",
// "0x", "0X" and at most eight significant hexadecimal digits, read as 32
// signed bits; nothing after the last digit. Empty when the text does not
// match.
std::optional<std::int32_t> TryStrToInt(std::string_view text) noexcept;

// The same, throwing EConvertError that quotes the whole text.
std::int32_t StrToInt(std::string_view text);

// The directory part of `exePath` (up to and including its last separator,
// never the second byte of a double-byte character) followed by the settings
// file's name.
std::string SettingsPathOf(std::string_view exePath, const TPathRules& rules);

// The settings path of the running program.
std::string GetSettingsPath(IFileAccess& files);

// The saver window's read: the count on line 1 of the settings file, or
// DefaultWalkerCount when there is no file. Throws EFOpenError, EListError
// (no line) or EConvertError (line 1 is no integer).
std::int32_t WindowRead(IFileAccess& files);

// The setup dialog's state and its two operations. Both platforms' dialogs
// keep one of these from FormCreate until the process ends.
class TSettingsDialogModel {
 public:
  std::string SettingsPath;
  TStringList SettingsLines;

  // FormCreate's read. Returns the count for UpDown1 when the file was read
  // and its line 1 converted; empty when there is no file (UpDown1 keeps its
  // 12, SettingsLines holds the one line "12"). On an error SettingsPath is
  // set, and SettingsLines is empty (open or list error) or holds the file's
  // lines (conversion error).
  std::optional<std::int32_t> DialogRead(IFileAccess& files);

  // Button1Click's write: `editText` unchanged as line 1, then the whole list
  // to the file. Throws EListError when SettingsLines is empty (nothing is
  // written), EFCreateError or EWriteError (the file stays as it was, the list
  // already holds the new line 1).
  void DialogWrite(IFileAccess& files, std::string_view editText);
};

}  // namespace quillfen
