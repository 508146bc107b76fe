// The end-to-end tests' entry point. The X server of the tests runs no window
// manager, and Wine then waits two seconds for the window manager at every
// hide of a window it leaves to one, and draws no caption bars for them. So
// Wine is told, in its own part of the test prefix's registry, to manage the
// windows itself, as Windows does.
#include <gtest/gtest.h>

#include "platform/win32/system.h"

int main(int argc, char** argv) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    const wchar_t value[] = L"N";
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    RegCloseKey(key);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
