// The platform interface on the Win32 API: the application window, the
// message loop, the system calls, and the two forms' windows.
#pragma once

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/platform.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/setup_dialog.h"
#include "platform/win32/system.h"

namespace quillfen::win32 {

// The full path of the running program's file as the system reports it.
std::string ModuleFileName();

// The application's default title: the program's file name without its
// suffix, as UTF-8.
std::string TitleFromModulePath(std::string_view modulePath);

class Win32Platform final : public IPlatform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

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

  std::span<const std::uint8_t> SpriteSheetBitmap() override;
  std::span<const std::uint8_t> DialogPictureBitmap() override;

  void ShowErrorBox(const std::string& caption, const std::string& text) override;

  bool CreateSaverWindow(const TCreateParams& params) override;
  THandle SaverWindowHandle() override;
  void ShowSaverWindow() override;
  void DestroySaverWindow() override;
  void PresentFrame(const TFrameView& frame, std::span<const TRect> changed) override;

  void CreateSetupDialog(TOptDialog& dialog) override;
  void DestroySetupDialog() override;

  void RunMessageLoop() override;

  // Hands an event to the application. The application shows its own errors;
  // anything else that escapes is shown here, so that no error crosses the
  // system's frames of a window procedure. Once the application has been
  // told to end, the quit message wakes the loop, also when the event came
  // as a sent message, which the loop never sees.
  template <typename Event>
  void Deliver(Event&& event) {
    if (app_ == nullptr) return;
    try {
      event(*app_);
    } catch (const std::exception& e) {
      ShowErrorBox(title_, std::string(e.what()) + ".");
    }
    if (app_->Terminated()) PostQuitMessage(0);
  }

 private:
  static LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleAppMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  std::span<const std::uint8_t> BitmapFile(int id, std::vector<std::uint8_t>& cache);

  HINSTANCE instance_;
  TApplication* app_ = nullptr;
  std::string title_;
  HWND appWindow_ = nullptr;
  std::vector<std::uint8_t> spriteSheet_;
  std::vector<std::uint8_t> dialogPicture_;
  SaverWindow saver_;
  SetupDialog dialog_;
};

}  // namespace quillfen::win32
