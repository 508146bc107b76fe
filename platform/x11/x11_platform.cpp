#include "platform/x11/x11_platform.h"

#include <FL/Fl.H>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

#include "anim/bitmap.h"
#include "anim/compositor.h"
#include "app/application.h"
#include "platform/x11/error_box.h"
#include "platform/x11/saver_window.h"
#include "platform/x11/setup_dialog.h"
#include "platform/x11/x_display.h"
#include "saver/main_form.h"
#include "settings/opt_dialog.h"

namespace quillfen::x11 {

namespace {

constexpr std::int32_t DialogPictureWidth = 168;
constexpr std::int32_t DialogPictureHeight = 214;

// Runs `f` when the scope is left, however it is left.
template <typename F>
class TAtExit {
 public:
  explicit TAtExit(F f) : f_(std::move(f)) {}
  ~TAtExit() { f_(); }
  TAtExit(const TAtExit&) = delete;
  TAtExit& operator=(const TAtExit&) = delete;

 private:
  F f_;
};

}  // namespace

TX11Platform::TX11Platform(TBuiltInArt art) : art_(art) {}

TX11Platform::~TX11Platform() {
  dialog_.reset();
  saver_.reset();
  if (display_ != nullptr) {
    Fl::remove_fd(ConnectionNumber(display_));
    XCloseDisplay(display_);
  }
}

Display* TX11Platform::SaverDisplay() {
  if (display_ == nullptr) {
    display_ = OpenDisplayOrThrow();
    // The toolkit's wait watches our connection too: one loop for all.
    Fl::add_fd(
        ConnectionNumber(display_), FL_READ, [](int, void*) {}, nullptr);
  }
  return display_;
}

// --- the application object --------------------------------------------------

void TX11Platform::Attach(TApplication& app) {
  app_ = &app;
}

std::string TX11Platform::DefaultTitle() {
  // The executable's file name without its extension.
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  std::string name = error ? std::string("quillfen") : path.filename().string();
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

void TX11Platform::SetApplicationTitle(const std::string& title) {
  title_ = title;
  if (saver_) saver_->SetTitle(title_);
}

// X has no window of the application object: every window of ours is a
// form's. Hiding it is nothing to do.
THandle TX11Platform::ApplicationWindow() {
  return 0;
}

void TX11Platform::ShowWindow(THandle window, int command) {
  if (window == 0) return;
  Display* display = SaverDisplay();
  if (command == SW_HIDE_)
    XUnmapWindow(display, static_cast<Window>(window));
  else
    XMapWindow(display, static_cast<Window>(window));
  XFlush(display);
}

THandle TX11Platform::GetForegroundWindow() {
  // Asked only for the password change, which has nothing to hand the
  // window to on Linux; it runs without a display, so none is opened here.
  if (display_ == nullptr) return 0;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  return focus == PointerRoot ? 0 : focus;
}

// --- the single-preview guard --------------------------------------------------

bool TX11Platform::GuardExists(const char* name) {
  return guard_.Exists(name);
}

THandle TX11Platform::CreateGuard(const char* name) {
  return static_cast<THandle>(guard_.Create(name));
}

// --- screen, cursor and geometry -----------------------------------------------

std::int32_t TX11Platform::ScreenWidth() {
  Display* display = SaverDisplay();
  return DisplayWidth(display, DefaultScreen(display));
}

std::int32_t TX11Platform::ScreenHeight() {
  Display* display = SaverDisplay();
  return DisplayHeight(display, DefaultScreen(display));
}

TPoint TX11Platform::GetCursorPos() {
  Display* display = SaverDisplay();
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
  return {rootX, rootY};
}

void TX11Platform::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  if (saver_) saver_->SetCursorHidden(cursorCount_ < 0);
}

bool TX11Platform::GetWindowRect(THandle window, TWindowRect& rect) {
  if (window == 0) return false;
  Display* display = SaverDisplay();
  const auto w = static_cast<Window>(window);
  XWindowAttributes a;
  if (XGetWindowAttributes(display, w, &a) == 0) return false;
  int x = 0, y = 0;
  Window child = 0;
  if (XTranslateCoordinates(display, w, a.root, 0, 0, &x, &y, &child) == 0) return false;
  // The outer rectangle: the border belongs to the window.
  rect.Left = x - a.border_width;
  rect.Top = y - a.border_width;
  rect.Right = x + a.width + a.border_width;
  rect.Bottom = y + a.height + a.border_width;
  return true;
}

std::uint32_t TX11Platform::CalendarTimeSeconds() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

// --- registry and run-time libraries: Linux has neither ------------------------

THandle TX11Platform::RegOpenKey(const char*) {
  return 0;
}
TRegValue TX11Platform::RegReadInteger(THandle, const char*) {
  return {};
}
void TX11Platform::RegCloseKey(THandle) {}
THandle TX11Platform::LoadLibrary(const char*) {
  return 0;
}
THandle TX11Platform::GetProcAddress(THandle, const char*) {
  return 0;
}
void TX11Platform::FreeLibrary(THandle) {}
std::int32_t TX11Platform::CallVerifyScreenSavePwd(THandle, THandle) {
  return 0;
}
std::uint32_t TX11Platform::CallPwdChangePassword(THandle, const char*, THandle, std::uint32_t, std::uint32_t) {
  return 0;
}

// --- the error display ---------------------------------------------------------

void TX11Platform::ShowErrorBox(const std::string& caption, const std::string& text) {
  try {
    OpenToolkitDisplay();
  } catch (const TDisplayUnavailable&) {
    // Nowhere to show it: the terminal is the next best place.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return;
  }
  // The box needs the keyboard and the pointer that the saver holds.
  ++modalDepth_;
  if (saver_) saver_->SetInputReleased(true);
  const TAtExit done([this] {
    --modalDepth_;
    if (saver_ && modalDepth_ == 0) saver_->SetInputReleased(false);
  });
  RunErrorBox(caption, text, [this] { PumpOnce(); });
}

// --- the saver window ----------------------------------------------------------

bool TX11Platform::CreateSaverWindow(const TCreateParams& params) {
  saver_ = std::make_unique<TSaverWindow>(SaverDisplay(), params, title_);
  if (!saver_->Valid()) {
    saver_.reset();
    return false;
  }
  saver_->SetCursorHidden(cursorCount_ < 0);
  lastTick_ = Clock::now();  // the timer starts with the window
  return true;
}

THandle TX11Platform::SaverWindowHandle() {
  return saver_ ? saver_->Id() : 0;
}

void TX11Platform::ShowSaverWindow() {
  if (saver_) saver_->Show();
}

void TX11Platform::DestroySaverWindow() {
  saver_.reset();
}

void TX11Platform::PresentFrame(const TFrameView& frame, std::span<const TRect> changed) {
  if (saver_) saver_->Present(frame, changed);
}

// --- the setup dialog ------------------------------------------------------------

void TX11Platform::CreateSetupDialog(TOptDialog& dialog) {
  OpenToolkitDisplay();
  optDialog_ = &dialog;
  TPicture picture;
  const TDecodedBitmap decoded = DecodeBitmap(art_.DialogPicture, DialogPictureWidth, DialogPictureHeight);
  if (decoded.Ok()) {
    picture.Width = decoded.Image.Width;
    picture.Height = decoded.Image.Height;
    picture.Pixels = decoded.Image.Pixels;
  }
  TSetupDialogActions actions;
  actions.Ok = [this](const std::string& text) { app_->HandleOkClick(text); };
  actions.Step = [&dialog](const std::string& text, int delta) { return dialog.StepUpDown(text, delta); };
  actions.Close = [this] { app_->HandleDialogClose(); };
  dialog_ = std::make_unique<TSetupDialogWindow>(std::move(actions), picture);
}

void TX11Platform::DestroySetupDialog() {
  dialog_.reset();
  optDialog_ = nullptr;
}

// --- the one event loop --------------------------------------------------------

void TX11Platform::RunMessageLoop() {
  if (app_ == nullptr || (!app_->MainForm && !app_->OptDialog)) return;
  // The up-down control writes its position into the edit box when the
  // dialog's controls come into being.
  if (dialog_ && !dialog_->Shown()) dialog_->Show(std::to_string(optDialog_->UpDown1Position));
  while (!app_->Terminated()) PumpOnce();
}

bool TX11Platform::Ticking() const {
  return saver_ && !saver_->Gone() && !inTick_ && !app_->Terminated();
}

void TX11Platform::PumpOnce() {
  DispatchSaverEvents();
  // An event may have ended the loop: back to it before waiting again.
  if (modalDepth_ == 0 && app_->Terminated()) return;
  if (closePending_ && modalDepth_ == 0) {
    closePending_ = false;
    app_->HandleCloseMessage();
    return;
  }
  if (Ticking()) {
    const auto due = lastTick_ + std::chrono::milliseconds(Timer1Interval);
    const auto now = Clock::now();
    if (now >= due) {
      Tick();
      return;
    }
    Fl::wait(std::chrono::duration<double>(due - now).count());
  } else {
    Fl::wait(1e20);  // until something happens
  }
}

void TX11Platform::Tick() {
  // The next tick is due a whole interval after this one started: never
  // more often, and ticks that were missed are not made up for.
  lastTick_ = Clock::now();
  inTick_ = true;
  const TAtExit done([this] { inTick_ = false; });
  if (modalDepth_ == 0) saver_->RetakeInput();
  app_->HandleTimer();
}

void TX11Platform::DispatchSaverEvents() {
  if (display_ == nullptr) return;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    HandleSaverEvent(event);
  }
}

void TX11Platform::DeliverClose() {
  // A close that arrives while a message box is open waits for it.
  if (modalDepth_ > 0)
    closePending_ = true;
  else
    app_->HandleCloseMessage();
}

void TX11Platform::HandleSaverEvent(XEvent& event) {
  if (!saver_ || event.xany.window != saver_->Id()) return;
  const bool inputAllowed = modalDepth_ == 0 && !saver_->IsPreview();
  switch (event.type) {
    case Expose:
      saver_->Repaint(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
      break;
    case DestroyNotify:
      // The host went away and took our window with it.
      if (event.xdestroywindow.window == saver_->Id()) {
        saver_->MarkGone();
        DeliverClose();
      }
      break;
    case ClientMessage:
      if (event.xclient.message_type == saver_->WmProtocols() &&
          static_cast<Atom>(event.xclient.data.l[0]) == saver_->WmDeleteWindow())
        DeliverClose();
      break;
    case KeyPress:
      if (inputAllowed) app_->HandleKeyDown(static_cast<int>(XLookupKeysym(&event.xkey, 0)));
      break;
    case ButtonPress:
      if (inputAllowed) app_->HandleMouseDown();
      break;
    case MotionNotify: {
      // Only the latest position counts, as with the system's mouse moves.
      while (XCheckTypedWindowEvent(display_, saver_->Id(), MotionNotify, &event)) {
      }
      if (inputAllowed) app_->HandleMouseMove(event.xmotion.x, event.xmotion.y);
      break;
    }
    default:
      break;
  }
}

}  // namespace quillfen::x11
