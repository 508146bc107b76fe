#include "platform/win32/saver_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "anim/compositor.h"
#include "app/application.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "saver/main_form.h"

namespace quillfen::win32 {

void SaverWindow::Register(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &SaverWindow::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  // White until the first frame is there.
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = ClassName;
  RegisterClassExW(&wc);
}

bool SaverWindow::Create(HINSTANCE instance, HWND owner, const TCreateParams& params) {
  Destroy();
  const bool child = (params.Style & WS_CHILD) != 0;
  // A child window needs a parent; the system would otherwise take the owner.
  if (child && params.Parent == 0) return false;
  const HWND parent = params.Parent != 0 ? ToHwnd(params.Parent) : owner;
  topmost_ = params.Topmost && !child;
  const DWORD exStyle = topmost_ ? WS_EX_TOPMOST : 0;
  hwnd_ = CreateWindowExW(exStyle, ClassName, L"MainForm", params.Style, params.X, params.Y, params.Width,
                          params.Height, parent, nullptr, instance, this);
  if (hwnd_ == nullptr) return false;
  SetTimer(hwnd_, TimerId, Timer1Interval, nullptr);
  return true;
}

void SaverWindow::Show() {
  if (hwnd_ == nullptr) return;
  // A preview leaves the activation and the focus to its host.
  const bool child = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) != 0;
  ::ShowWindow(hwnd_, child ? SW_SHOWNA : SW_SHOWNORMAL);
  if (topmost_) {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
  }
  UpdateWindow(hwnd_);
}

void SaverWindow::Destroy() {
  if (hwnd_ != nullptr) {
    KillTimer(hwnd_, TimerId);
    ::ShowWindow(hwnd_, SW_HIDE);
    const HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
  FreeSurface();
}

void SaverWindow::LowerFromTopmost() {
  if (hwnd_ != nullptr && topmost_)
    SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SaverWindow::RestoreTopmost() {
  if (hwnd_ != nullptr && topmost_)
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool SaverWindow::EnsureSurface(std::int32_t width, std::int32_t height) {
  if (surface_ != nullptr && width == surfaceWidth_ && height == surfaceHeight_) return true;
  FreeSurface();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, like the frames
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  surface_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (surface_ == nullptr) return false;
  memoryDc_ = CreateCompatibleDC(nullptr);
  if (memoryDc_ == nullptr) {
    FreeSurface();
    return false;
  }
  previousBitmap_ = SelectObject(memoryDc_, surface_);
  bits_ = static_cast<std::uint32_t*>(bits);
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  return true;
}

void SaverWindow::FreeSurface() {
  if (memoryDc_ != nullptr) {
    SelectObject(memoryDc_, previousBitmap_);
    DeleteDC(memoryDc_);
  }
  if (surface_ != nullptr) DeleteObject(surface_);
  memoryDc_ = nullptr;
  surface_ = nullptr;
  previousBitmap_ = nullptr;
  bits_ = nullptr;
  surfaceWidth_ = surfaceHeight_ = 0;
}

void SaverWindow::Present(const TFrameView& frame, std::span<const TRect> changed) {
  if (hwnd_ == nullptr || frame.Pixels == nullptr || frame.Width <= 0 || frame.Height <= 0) return;
  const bool fresh = surface_ == nullptr || frame.Width != surfaceWidth_ || frame.Height != surfaceHeight_;
  if (!EnsureSurface(frame.Width, frame.Height)) return;
  GdiFlush();  // nothing of GDI's may still be pending on the surface

  // The frame's pixels are 0x00RRGGBB, which is the byte order of a 32-bit DIB.
  // A new surface takes the whole frame; after that only what changed, and
  // nothing at all when nothing did.
  const TRect whole{0, 0, frame.Width, frame.Height};
  const std::span<const TRect> rects = fresh ? std::span<const TRect>(&whole, 1) : changed;
  RECT bounds{0, 0, 0, 0};
  for (const TRect& r : rects) {
    const std::int32_t left = std::max(r.Left, 0), top = std::max(r.Top, 0);
    const std::int32_t right =
        static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{r.Left} + r.Width, frame.Width));
    const std::int32_t bottom =
        static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{r.Top} + r.Height, frame.Height));
    if (left >= right || top >= bottom) continue;
    const std::size_t bytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    for (std::int32_t y = top; y < bottom; ++y) {
      std::memcpy(bits_ + static_cast<std::ptrdiff_t>(y) * surfaceWidth_ + left,
                  frame.Pixels + static_cast<std::ptrdiff_t>(y) * frame.Stride + left, bytes);
    }
    const RECT piece{left, top, right, bottom};
    UnionRect(&bounds, &bounds, &piece);
  }
  if (IsRectEmpty(&bounds)) return;

  // One blit of everything that changed, straight onto the window.
  const HDC dc = GetDC(hwnd_);
  if (dc == nullptr) return;
  BitBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, memoryDc_, bounds.left,
         bounds.top, SRCCOPY);
  ReleaseDC(hwnd_, dc);
}

void SaverWindow::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  if (dc == nullptr) return;
  if (surface_ != nullptr) {
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           memoryDc_, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  }
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK SaverWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Messages of creation and destruction, while hwnd_ does not name this
  // window, get the system's default handling.
  auto* self = WindowOwner<SaverWindow>(hwnd, message, lParam);
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT SaverWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == TimerId) {
        platform_.Deliver([](TApplication& app) { app.HandleTimer(); });
        return 0;
      }
      break;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      // Once a frame exists the paint covers everything; erasing would flicker.
      if (surface_ != nullptr) return 1;
      break;
    case WM_MOUSEMOVE: {
      const std::int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      platform_.Deliver([x, y](TApplication& app) { app.HandleMouseMove(x, y); });
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      platform_.Deliver([](TApplication& app) { app.HandleMouseDown(); });
      return message == WM_XBUTTONDOWN ? TRUE : 0;
    case WM_KEYDOWN:
      platform_.Deliver([wParam](TApplication& app) { app.HandleKeyDown(static_cast<int>(wParam)); });
      return 0;
    case WM_SYSKEYDOWN: {
      // Keys with Alt (and F10) are keys too; the system still gets them after.
      platform_.Deliver([wParam](TApplication& app) { app.HandleKeyDown(static_cast<int>(wParam)); });
      break;
    }
    case WM_CLOSE:
      platform_.Deliver([](TApplication& app) { app.HandleCloseMessage(); });
      return 0;
    case WM_QUERYENDSESSION: {
      bool mayEnd = true;
      platform_.Deliver([&mayEnd](TApplication& app) { mayEnd = app.HandleQueryEndSession(); });
      return mayEnd ? TRUE : FALSE;
    }
    case WM_DESTROY: {
      // Not our doing: the host destroyed its preview window and ours with
      // it. Without a window there is nothing left to show, and a lingering
      // preview would keep later ones out, so this counts as a close.
      const HWND hwnd = hwnd_;
      KillTimer(hwnd, TimerId);
      hwnd_ = nullptr;
      platform_.Deliver([](TApplication& app) { app.HandleCloseMessage(); });
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace quillfen::win32
