// The Windows headers, without the macros that would rename members of our
// own interfaces (LoadLibrary, RegOpenKey) in these files only.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef LoadLibrary
#undef RegOpenKey

namespace quillfen::win32 {

// The object a window of ours belongs to: CreateWindowExW's last argument,
// kept in the window's user data from WM_NCCREATE until WM_NCDESTROY.
template <typename T>
T* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace quillfen::win32
