// Conversions between the portable code's handles and the system's.
#pragma once

#include <cstdint>

#include "app/platform.h"
#include "platform/win32/system.h"

namespace quillfen::win32 {

// Window handles carry 32 significant bits on every Windows, so 64-bit code
// may truncate them and widen them again by sign extension. The command line
// gives them as 32-bit numbers; our handles keep exactly those 32 bits.
inline HWND ToHwnd(THandle h) noexcept {
  const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(h));
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(low));
}

inline THandle FromHwnd(HWND w) noexcept {
  return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(w));
}

// Modules, procedures and registry keys are pointers of the target's width.
template <typename T>
T ToPointer(THandle h) noexcept {
  return reinterpret_cast<T>(static_cast<UINT_PTR>(h));
}

template <typename T>
THandle FromPointer(T p) noexcept {
  return static_cast<THandle>(reinterpret_cast<UINT_PTR>(p));
}

}  // namespace quillfen::win32
