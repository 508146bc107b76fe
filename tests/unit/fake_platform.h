// A recording fake of the system services: every call is logged in order,
// and its results are set by the test.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "anim/compositor.h"
#include "app/application.h"
#include "app/platform.h"
#include "res/embedded_art.h"

namespace quillfen::testing {

// The program's own sprite sheet, as the platform hands it over.
inline std::vector<std::uint8_t> TestSpriteSheet() {
  const auto bytes = quillfen::SpriteSheetBitmap();
  return {bytes.begin(), bytes.end()};
}

class FakePlatform : public IPlatform {
 public:
  // --- results the test sets
  std::string defaultTitle = "quillfen";
  bool guardExists = false;
  THandle guardHandle = 0x77;
  std::int32_t screenWidth = 1024, screenHeight = 768;
  TPoint cursor{100, 200};
  std::map<THandle, TWindowRect> windows;  // GetWindowRect answers for these
  std::uint32_t clock = 1;
  THandle foreground = 0x4242;
  THandle desktopKey = 0;  // 0: the key cannot be opened
  TRegValue usePassword;
  std::map<std::string, THandle> libraries;  // loadable libraries
  std::map<std::string, THandle> procs;  // entry points found in any library
  std::int32_t verifyResult = 1;
  bool createWindowSucceeds = true;
  std::vector<std::uint8_t> sheet;  // the sprite sheet bitmap

  // --- what happened
  std::vector<std::string> calls;
  int cursorCount = 0;  // the display count, 0 when the process starts
  std::vector<std::pair<std::string, std::string>> errorBoxes;  // caption, text
  TCreateParams created;
  int framesPresented = 0;
  TFrameView lastFrame;
  TApplication* app = nullptr;

  // Called from inside the message loop: the test's script of events.
  std::function<void(TApplication&)> loop;
  // Called while an error box is up (the box is modal: its OK ends it).
  std::function<void()> whileErrorBox;

  void Log(std::string s) { calls.push_back(std::move(s)); }

  void Attach(TApplication& a) override { app = &a; }
  std::string DefaultTitle() override { return defaultTitle; }
  void SetApplicationTitle(const std::string& t) override { Log("SetApplicationTitle(" + t + ")"); }
  THandle ApplicationWindow() override { return 0xA99; }
  void ShowWindow(THandle w, int cmd) override { Log("ShowWindow(" + std::to_string(w) + "," + std::to_string(cmd) + ")"); }
  THandle GetForegroundWindow() override {
    Log("GetForegroundWindow");
    return foreground;
  }
  bool GuardExists(const char* name) override {
    Log(std::string("GuardExists(") + name + ")");
    return guardExists;
  }
  THandle CreateGuard(const char* name) override {
    Log(std::string("CreateGuard(") + name + ")");
    return guardHandle;
  }
  std::int32_t ScreenWidth() override {
    Log("ScreenWidth");
    return screenWidth;
  }
  std::int32_t ScreenHeight() override {
    Log("ScreenHeight");
    return screenHeight;
  }
  TPoint GetCursorPos() override {
    Log("GetCursorPos");
    return cursor;
  }
  void ShowCursor(bool show) override {
    Log(show ? "ShowCursor(1)" : "ShowCursor(0)");
    cursorCount += show ? 1 : -1;
  }
  bool GetWindowRect(THandle w, TWindowRect& r) override {
    Log("GetWindowRect(" + std::to_string(w) + ")");
    auto it = windows.find(w);
    if (it == windows.end()) return false;
    r = it->second;
    return true;
  }
  std::uint32_t CalendarTimeSeconds() override {
    Log("CalendarTimeSeconds");
    return clock;
  }
  THandle RegOpenKey(const char* path) override {
    Log(std::string("RegOpenKey(") + path + ")");
    return desktopKey;
  }
  TRegValue RegReadInteger(THandle, const char* name) override {
    Log(std::string("RegReadInteger(") + name + ")");
    return usePassword;
  }
  void RegCloseKey(THandle) override { Log("RegCloseKey"); }
  THandle LoadLibrary(const char* name) override {
    Log(std::string("LoadLibrary(") + name + ")");
    auto it = libraries.find(name);
    return it == libraries.end() ? 0 : it->second;
  }
  THandle GetProcAddress(THandle, const char* name) override {
    Log(std::string("GetProcAddress(") + name + ")");
    auto it = procs.find(name);
    return it == procs.end() ? 0 : it->second;
  }
  void FreeLibrary(THandle) override { Log("FreeLibrary"); }
  std::int32_t CallVerifyScreenSavePwd(THandle, THandle window) override {
    Log("VerifyScreenSavePwd(" + std::to_string(window) + ")");
    return verifyResult;
  }
  std::uint32_t CallPwdChangePassword(THandle, const char* name, THandle owner, std::uint32_t a,
                                      std::uint32_t b) override {
    Log(std::string("PwdChangePasswordA(") + name + "," + std::to_string(owner) + "," + std::to_string(a) + "," +
        std::to_string(b) + ")");
    return 0;
  }
  std::span<const std::uint8_t> SpriteSheetBitmap() override { return sheet; }
  std::span<const std::uint8_t> DialogPictureBitmap() override { return {}; }
  void ShowErrorBox(const std::string& caption, const std::string& text) override {
    Log("ShowErrorBox(" + caption + "|" + text + ")");
    errorBoxes.emplace_back(caption, text);
    if (whileErrorBox) whileErrorBox();
  }
  bool CreateSaverWindow(const TCreateParams& p) override {
    Log("CreateSaverWindow");
    created = p;
    return createWindowSucceeds;
  }
  THandle SaverWindowHandle() override { return 0x5A5; }
  void ShowSaverWindow() override { Log("ShowSaverWindow"); }
  void DestroySaverWindow() override { Log("DestroySaverWindow"); }
  void PresentFrame(const TFrameView& frame, std::span<const TRect>) override {
    ++framesPresented;
    lastFrame = frame;
  }
  void CreateSetupDialog(TOptDialog&) override { Log("CreateSetupDialog"); }
  void DestroySetupDialog() override { Log("DestroySetupDialog"); }
  void RunMessageLoop() override {
    Log("RunMessageLoop");
    if (loop) loop(*app);
  }

  // The calls from `first` on, in order, that start with any of `prefixes`.
  std::vector<std::string> Only(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      for (const char* p : prefixes)
        if (c.rfind(p, 0) == 0) {
          out.push_back(c);
          break;
        }
    return out;
  }
};

}  // namespace quillfen::testing
