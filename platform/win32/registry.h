// The registry as the password check reads it.
#pragma once

#include "app/platform.h"
#include "platform/win32/system.h"

namespace quillfen::win32 {

// Opens `path` below `root` with full access, without creating it. One leading
// backslash is dropped: it only says that the path starts at the root.
// Returns null when the key cannot be opened (missing, or read-only for us).
HKEY OpenRegistryKey(HKEY root, const char* path);

// Reads a value into four bytes: Missing when it does not exist (or cannot be
// read), TooLong when it holds more than four bytes, WrongType when it is no
// REG_DWORD, otherwise its number.
TRegValue ReadRegistryInteger(HKEY key, const char* name);

}  // namespace quillfen::win32
