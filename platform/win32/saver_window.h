// The saver window: a topmost popup over the whole screen, or a child of the
// host's preview window. It shows the finished frames from an off-screen
// surface and hands input, ticks and close requests to the application.
#pragma once

#include <cstdint>
#include <span>

#include "app/platform.h"
#include "platform/win32/system.h"

namespace quillfen::win32 {

class Win32Platform;

class SaverWindow {
 public:
  static constexpr const wchar_t* ClassName = L"QuillfenSaver";
  static void Register(HINSTANCE instance);

  explicit SaverWindow(Win32Platform& platform) : platform_(platform) {}
  ~SaverWindow() { Destroy(); }
  SaverWindow(const SaverWindow&) = delete;
  SaverWindow& operator=(const SaverWindow&) = delete;

  // A child when the parameters name a parent, else a popup owned by `owner`.
  // False when the system refuses the window (the parent is no window).
  bool Create(HINSTANCE instance, HWND owner, const TCreateParams& params);
  HWND Hwnd() const { return hwnd_; }
  void Show();
  void Destroy();
  void Present(const TFrameView& frame, std::span<const TRect> changed);

  // While an error box is up the box has to come above a topmost window.
  void LowerFromTopmost();
  void RestoreTopmost();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  bool EnsureSurface(std::int32_t width, std::int32_t height);
  void FreeSurface();

  static constexpr UINT_PTR TimerId = 1;

  Win32Platform& platform_;
  HWND hwnd_ = nullptr;
  bool topmost_ = false;
  // The off-screen surface: a top-down 32-bit DIB section, selected into a
  // memory device context, that holds the last frame shown.
  HDC memoryDc_ = nullptr;
  HBITMAP surface_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  std::int32_t surfaceWidth_ = 0;
  std::int32_t surfaceHeight_ = 0;
};

}  // namespace quillfen::win32
