#include "app/application.h"

#include "app/errors.h"
#include "saver/main_form.h"
#include "settings/opt_dialog.h"

namespace quillfen {

TApplication::TApplication(IPlatform& platform, IFileAccess& files)
    : platform_(platform), files_(files), title_(platform.DefaultTitle()) {
  platform_.Attach(*this);
}

TApplication::~TApplication() = default;

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  platform_.SetApplicationTitle(title);
}

void TApplication::ShowException(const Exception& e) { platform_.ShowErrorBox(title_, ErrorDisplayText(e)); }

void TApplication::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Exception& e) {
    ShowException(e);
  }
}

// Once the quit message is on its way, the loop takes no further input: a
// second close request would only ask for the password again.
void TApplication::HandleTimer() {
  if (MainForm && !terminated_) Guarded([&] { MainForm->Timer1Timer(); });
}

void TApplication::HandleKeyDown(int key) {
  if (MainForm && !terminated_) Guarded([&] { MainForm->FormKeyDown(key); });
}

void TApplication::HandleMouseDown() {
  if (MainForm && !terminated_) Guarded([&] { MainForm->FormMouseDown(); });
}

void TApplication::HandleMouseMove(std::int32_t x, std::int32_t y) {
  if (MainForm && !terminated_) Guarded([&] { MainForm->FormMouseMove(x, y); });
}

void TApplication::HandleCloseMessage() {
  if (terminated_) return;
  if (MainForm) {
    Guarded([&] { MainForm->Close(); });
  } else if (OptDialog) {
    Terminate();
  }
}

bool TApplication::HandleQueryEndSession() {
  bool canClose = true;
  if (MainForm) {
    try {
      MainForm->FormCloseQuery(canClose);
    } catch (const Exception& e) {
      ShowException(e);
      canClose = false;  // nothing was checked: the saver keeps running
    }
  }
  return canClose;
}

bool TApplication::FilterMessage(const TMsg& msg) {
  bool handled = false;
  if (MainForm && MainForm->FilterInstalled()) MainForm->ApplicationMessage(msg, handled);
  return handled;
}

void TApplication::HandleOkClick(const std::string& editText) {
  if (OptDialog && !terminated_) Guarded([&] { OptDialog->Button1Click(editText); });
}

void TApplication::HandleDialogClose() {
  if (OptDialog) Terminate();
}

void TApplication::Shutdown() {
  if (MainForm) {
    platform_.DestroySaverWindow();
    MainForm->FormDestroy();
    MainForm.reset();
  }
  if (OptDialog) {
    platform_.DestroySetupDialog();
    OptDialog.reset();
  }
}

namespace {

// The first form made is the main form and gets its window at once. An error
// of FormCreate is shown there; an error of the window's creation goes on to
// the caller, with the form left to be destroyed at shutdown.
void CreateMainForm(TApplication& app) {
  app.MainForm = std::make_unique<TMainForm>(app);
  app.Guarded([&] { app.MainForm->FormCreate(); });
  app.MainForm->CreateWindowHandle();
  app.Platform().ShowSaverWindow();
}

void CreateOptDialog(TApplication& app) {
  app.OptDialog = std::make_unique<TOptDialog>(app);
  app.Guarded([&] { app.OptDialog->FormCreate(); });
  app.Platform().CreateSetupDialog(*app.OptDialog);
}

}  // namespace

int RunQuillfen(IPlatform& platform, IFileAccess& files, std::span<const std::string_view> args) {
  const TStartRequest request = ClassifyCommandLine(args);
  if (request.ExitCode == -1) return -1;

  TApplication app(platform, files);
  app.RunMode = request.Mode;
  if (app.RunMode == rmPreview) app.PreviewParent = request.Window;

  if (app.RunMode == rmPreview) {
    if (platform.GuardExists(GuardName)) return -1;
    app.PreviewMutex = platform.CreateGuard(GuardName);  // a failure goes unnoticed
  }

  try {
    switch (app.RunMode) {
      case rmPreview:
        platform.ShowWindow(platform.ApplicationWindow(), SW_HIDE_);
        platform.ShowWindow(app.PreviewParent, SW_SHOW_);
        CreateMainForm(app);
        break;
      case rmConfig:
        CreateOptDialog(app);
        break;
      case rmSaver:
        app.SetTitle(SaverTitle);
        CreateMainForm(app);
        break;
      case rmChangePassword:
        ChangePassword(app, request);
        break;
    }
    if (app.MainForm || app.OptDialog) platform.RunMessageLoop();
  } catch (const Exception& e) {
    app.ShowException(e);
  }
  app.Shutdown();
  return 0;
}

void ChangePassword(TApplication& app, const TStartRequest& request) {
  IPlatform& p = app.Platform();
  app.PreviewParent = request.HasWindow ? request.Window : p.GetForegroundWindow();
  const THandle library = p.LoadLibrary("MPR.DLL");
  if (library == 0) return;
  const THandle entry = p.GetProcAddress(library, "PwdChangePasswordA");
  if (entry != 0) p.CallPwdChangePassword(entry, "SCRSAVE", app.PreviewParent, 0, 0);
  p.FreeLibrary(library);
}

}  // namespace quillfen
