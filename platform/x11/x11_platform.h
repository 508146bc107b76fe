// The program's system layer on Linux: X11 for the saver window, FLTK for
// the setup dialog and the message box, one event loop for all of them.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "app/platform.h"
#include "platform/x11/guard.h"

namespace quillfen::x11 {

class TSaverWindow;
class TSetupDialogWindow;

// The pictures built into the program, as Windows bitmap files.
struct TBuiltInArt {
  std::span<const std::uint8_t> SpriteSheet;
  std::span<const std::uint8_t> DialogPicture;
};

class TX11Platform final : public IPlatform {
 public:
  explicit TX11Platform(TBuiltInArt art);
  ~TX11Platform() override;
  TX11Platform(const TX11Platform&) = delete;
  TX11Platform& operator=(const TX11Platform&) = delete;

  void Attach(TApplication& app) override;
  std::string DefaultTitle() override;
  void SetApplicationTitle(const std::string& title) override;
  THandle ApplicationWindow() override;
  void ShowWindow(THandle window, int command) override;
  THandle GetForegroundWindow() override;

  bool GuardExists(const char* name) override;
  THandle CreateGuard(const char* name) override;

  std::int32_t ScreenWidth() override;
  std::int32_t ScreenHeight() override;
  TPoint GetCursorPos() override;
  void ShowCursor(bool show) override;
  bool GetWindowRect(THandle window, TWindowRect& rect) override;

  std::uint32_t CalendarTimeSeconds() override;

  THandle RegOpenKey(const char* path) override;
  TRegValue RegReadInteger(THandle key, const char* name) override;
  void RegCloseKey(THandle key) override;

  THandle LoadLibrary(const char* name) override;
  THandle GetProcAddress(THandle module, const char* name) override;
  void FreeLibrary(THandle module) override;
  std::int32_t CallVerifyScreenSavePwd(THandle proc, THandle window) override;
  std::uint32_t CallPwdChangePassword(THandle proc, const char* name, THandle owner, std::uint32_t a,
                                      std::uint32_t b) override;

  std::span<const std::uint8_t> SpriteSheetBitmap() override { return art_.SpriteSheet; }
  std::span<const std::uint8_t> DialogPictureBitmap() override { return art_.DialogPicture; }

  void ShowErrorBox(const std::string& caption, const std::string& text) override;

  bool CreateSaverWindow(const TCreateParams& params) override;
  THandle SaverWindowHandle() override;
  void ShowSaverWindow() override;
  void DestroySaverWindow() override;
  void PresentFrame(const TFrameView& frame, std::span<const TRect> changed) override;

  void CreateSetupDialog(TOptDialog& dialog) override;
  void DestroySetupDialog() override;

  void RunMessageLoop() override;

 private:
  using Clock = std::chrono::steady_clock;

  Display* SaverDisplay();  // our own connection, opened on first use
  void PumpOnce();
  void DispatchSaverEvents();
  void HandleSaverEvent(XEvent& event);
  void DeliverClose();
  bool Ticking() const;
  void Tick();

  TBuiltInArt art_;
  TApplication* app_ = nullptr;
  TOptDialog* optDialog_ = nullptr;
  std::string title_;
  Display* display_ = nullptr;
  int cursorCount_ = 0;  // the cursor shows while it is 0 or more
  TGuard guard_;
  std::unique_ptr<TSaverWindow> saver_;
  std::unique_ptr<TSetupDialogWindow> dialog_;
  int modalDepth_ = 0;  // message boxes open
  bool closePending_ = false;
  bool inTick_ = false;
  Clock::time_point lastTick_{};
};

}  // namespace quillfen::x11
