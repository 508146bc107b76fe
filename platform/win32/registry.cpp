#include "platform/win32/registry.h"

namespace quillfen::win32 {

HKEY OpenRegistryKey(HKEY root, const char* path) {
  if (path[0] == '\\') ++path;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

TRegValue ReadRegistryInteger(HKEY key, const char* name) {
  DWORD type = REG_NONE;
  BYTE data[4] = {0, 0, 0, 0};
  DWORD size = sizeof data;
  const LONG rc = RegQueryValueExA(key, name, nullptr, &type, data, &size);
  if (rc == ERROR_MORE_DATA) return {TRegValueKind::TooLong, 0};
  if (rc != ERROR_SUCCESS) return {TRegValueKind::Missing, 0};
  if (type != REG_DWORD) return {TRegValueKind::WrongType, 0};
  // A shorter REG_DWORD leaves the upper bytes at zero.
  const std::uint32_t value = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
                              (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  return {TRegValueKind::Dword, value};
}

}  // namespace quillfen::win32
