// Text conversions between our UTF-8, the system's UTF-16 and its ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace quillfen::win32 {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::string AnsiToUtf8(std::string_view text);

// The lead-byte test of the ANSI code page, in the shape the splitter wants.
bool IsAnsiLeadByte(unsigned char byte);

}  // namespace quillfen::win32
