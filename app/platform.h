// The narrow set of system services the program's behaviour needs. Each
// platform (X11, Win32) implements it; the tests use a recording fake.
// Platform code only translates: events go in through TApplication, drawing
// and system calls come out through this interface.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillfen {

// A window, module, procedure, registry key or mutex of the system; 0 is none.
using THandle = std::uint64_t;

struct TPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// A window's outer rectangle in screen pixels.
struct TWindowRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend constexpr bool operator==(const TWindowRect&, const TWindowRect&) = default;
};

// A rectangle of frame pixels (the compositor's: Left, Top, Width, Height).
struct TRect;

// ShowWindow commands used by start-up.
inline constexpr int SW_HIDE_ = 0;
inline constexpr int SW_SHOW_ = 5;

// Window styles of the saver window.
inline constexpr std::uint32_t WS_CHILD_ = 0x40000000u;
inline constexpr std::uint32_t WS_VISIBLE_ = 0x10000000u;
inline constexpr std::uint32_t WS_CLIPSIBLINGS_ = 0x04000000u;
inline constexpr std::uint32_t WS_CLIPCHILDREN_ = 0x02000000u;
inline constexpr std::uint32_t WS_POPUP_ = 0x80000000u;
inline constexpr std::uint32_t PreviewChildStyle = WS_CHILD_ | WS_VISIBLE_ | WS_CLIPSIBLINGS_ | WS_CLIPCHILDREN_;

// Queued system commands the saver window drops.
inline constexpr std::uint32_t WM_SYSCOMMAND_ = 0x0112;
inline constexpr std::uint64_t SC_CLOSE_ = 0xF060;
inline constexpr std::uint64_t SC_SCREENSAVE_ = 0xF140;

// A queued message as the message loop takes it from the queue.
struct TMsg {
  THandle Window = 0;
  std::uint32_t Message = 0;
  std::uint64_t WParam = 0;
  std::int64_t LParam = 0;
};

// What the window-parameters step decided for the saver window.
struct TCreateParams {
  THandle Parent = 0;  // 0: a popup owned by the application window
  std::uint32_t Style = 0;
  std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
  bool Topmost = false;
};

// The result of reading a registry value as a 32-bit integer.
enum class TRegValueKind { Dword, Missing, TooLong, WrongType };
struct TRegValue {
  TRegValueKind Kind = TRegValueKind::Missing;
  std::uint32_t Data = 0;
};

// A finished frame: 0x00RRGGBB pixels, rows top-down, Stride pixels apart.
struct TFrameView {
  const std::uint32_t* Pixels = nullptr;
  std::int32_t Width = 0, Height = 0, Stride = 0;
};

class TApplication;
class TOptDialog;

class IPlatform {
 public:
  virtual ~IPlatform() = default;

  // --- the application object and its top-level window. Attach is called
  // once, when the application object is made; events go to it from then on.
  virtual void Attach(TApplication& app) = 0;
  virtual std::string DefaultTitle() = 0;                       // from the executable's file name
  virtual void SetApplicationTitle(const std::string& title) = 0;  // the window text and the error caption
  virtual THandle ApplicationWindow() = 0;
  virtual void ShowWindow(THandle window, int command) = 0;  // failures go unnoticed
  virtual THandle GetForegroundWindow() = 0;

  // --- the single-preview guard: OpenMutexA, then CreateMutexA when it is free
  virtual bool GuardExists(const char* name) = 0;  // closes whatever handle the test opened
  virtual THandle CreateGuard(const char* name) = 0;  // 0 when it could not be made

  // --- screen, cursor and window geometry
  virtual std::int32_t ScreenWidth() = 0;  // GetSystemMetrics(SM_CXSCREEN)
  virtual std::int32_t ScreenHeight() = 0;  // GetSystemMetrics(SM_CYSCREEN)
  virtual TPoint GetCursorPos() = 0;
  virtual void ShowCursor(bool show) = 0;  // raises or lowers the display count by one
  virtual bool GetWindowRect(THandle window, TWindowRect& rect) = 0;

  // --- the calendar clock, in whole seconds
  virtual std::uint32_t CalendarTimeSeconds() = 0;

  // --- the registry, read only, below HKEY_USERS with full access
  virtual THandle RegOpenKey(const char* path) = 0;  // 0 when it cannot be opened
  virtual TRegValue RegReadInteger(THandle key, const char* name) = 0;
  virtual void RegCloseKey(THandle key) = 0;

  // --- libraries loaded at run time
  virtual THandle LoadLibrary(const char* name) = 0;
  virtual THandle GetProcAddress(THandle module, const char* name) = 0;
  virtual void FreeLibrary(THandle module) = 0;
  virtual std::int32_t CallVerifyScreenSavePwd(THandle proc, THandle window) = 0;
  virtual std::uint32_t CallPwdChangePassword(THandle proc, const char* name, THandle owner, std::uint32_t a,
                                              std::uint32_t b) = 0;

  // --- the pictures built into the program (Windows bitmaps)
  virtual std::span<const std::uint8_t> SpriteSheetBitmap() = 0;
  virtual std::span<const std::uint8_t> DialogPictureBitmap() = 0;

  // --- the standard error display: modal, stop icon, one OK button. Other
  // windows take no input meanwhile, but their timers keep running.
  virtual void ShowErrorBox(const std::string& caption, const std::string& text) = 0;

  // --- the saver window. Creation fails (false) when the parent names no
  // window; the window is white until the first frame is shown.
  virtual bool CreateSaverWindow(const TCreateParams& params) = 0;
  virtual THandle SaverWindowHandle() = 0;
  virtual void ShowSaverWindow() = 0;  // shown, topmost, normal state
  virtual void DestroySaverWindow() = 0;  // hides it; the form is gone afterwards
  // Puts the finished frame on the window at once. `changed` lists the
  // rectangles outside which the frame equals the one shown before (the
  // whole frame the first time; empty when nothing changed).
  virtual void PresentFrame(const TFrameView& frame, std::span<const TRect> changed) = 0;

  // --- the setup dialog: built from the dialog's state; calls back into
  // TApplication for OK, the arrows and closing.
  virtual void CreateSetupDialog(TOptDialog& dialog) = 0;
  virtual void DestroySetupDialog() = 0;

  // --- the message loop: shows the main form, then dispatches events to the
  // attached application (ticks every 48 ms while a saver window exists)
  // until it is terminated.
  virtual void RunMessageLoop() = 0;
};

}  // namespace quillfen
