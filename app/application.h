// The application object: run mode, title, the one form of the run, and the
// entry points through which a platform's message loop hands events in.
// Every entry point shows an error that escapes its handler with the
// standard error display and carries on, as the message loop would.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/cmdline.h"
#include "app/platform.h"

namespace quillfen {

class Exception;
class IFileAccess;
class TMainForm;
class TOptDialog;

inline constexpr const char* GuardName = "Mossgate";
inline constexpr const char* SaverTitle = "tin kite";

class TApplication {
 public:
  TApplication(IPlatform& platform, IFileAccess& files);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  IPlatform& Platform() { return platform_; }
  IFileAccess& Files() { return files_; }

  TRunMode RunMode = rmPreview;
  THandle PreviewParent = 0;
  THandle PreviewMutex = 0;

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // At most one of these is set in a run; it is the main form.
  std::unique_ptr<TMainForm> MainForm;
  std::unique_ptr<TOptDialog> OptDialog;

  // The close of the main form ends the loop (the quit message).
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  void ShowException(const Exception& e);
  // Runs one handler; an error it raises goes to the error display.
  void Guarded(const std::function<void()>& handler);

  // --- events from the platform's loop
  void HandleTimer();
  void HandleKeyDown(int key);
  void HandleMouseDown();
  void HandleMouseMove(std::int32_t x, std::int32_t y);
  void HandleCloseMessage();  // WM_CLOSE, the window manager's delete request
  bool HandleQueryEndSession();  // the answer to the system: may the application end?
  bool FilterMessage(const TMsg& msg);  // true: drop the queued message
  void HandleOkClick(const std::string& editText);
  void HandleDialogClose();  // the dialog's close button, Alt+F4 ...

  // The end of the run: the forms are destroyed, FormDestroy included.
  void Shutdown();

 private:
  IPlatform& platform_;
  IFileAccess& files_;
  std::string title_;
  bool terminated_ = false;
};

// The entry point's behaviour: classify, guard, dispatch, loop. Returns the
// process exit code (-1 or 0).
int RunQuillfen(IPlatform& platform, IFileAccess& files, std::span<const std::string_view> args);

// Hands the password change to the system.
void ChangePassword(TApplication& app, const TStartRequest& request);

}  // namespace quillfen
