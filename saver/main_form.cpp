#include "saver/main_form.h"

#include <stdexcept>

#include "anim/bitmap.h"
#include "anim/compositor.h"
#include "app/application.h"
#include "app/errors.h"
#include "saver/startup.h"

namespace quillfen {

namespace {

constexpr const char* DesktopKey = ".Default\\Control Panel\\Desktop";
constexpr const char* UsePasswordValue = "ScreenSaveUsePassword";

// Closes the registry key however the password check ends.
class TRegistryKey {
 public:
  TRegistryKey(IPlatform& p, THandle key) : p_(p), key_(key) {}
  ~TRegistryKey() {
    if (key_ != 0) p_.RegCloseKey(key_);
  }
  TRegistryKey(const TRegistryKey&) = delete;
  TRegistryKey& operator=(const TRegistryKey&) = delete;

 private:
  IPlatform& p_;
  THandle key_;
};

TImage LoadSpriteSheet(std::span<const std::uint8_t> bitmap) {
  TDecodedBitmap decoded = DecodeBitmap(bitmap, SheetWidth, SheetHeight);
  if (!decoded.Ok()) throw EInvalidGraphic(decoded.Error);
  return std::move(decoded.Image);
}

}  // namespace

TMainForm::TMainForm(TApplication& app)
    : app_(app),
      field_(std::make_unique<WalkerField>()),
      sheet_(std::make_unique<TImage>(LoadSpriteSheet(app.Platform().SpriteSheetBitmap()))) {
  IPlatform& p = app_.Platform();
  Left = 0;
  Top = 0;
  if (app_.RunMode == rmSaver) {
    Width = p.ScreenWidth();
    Height = p.ScreenHeight();
    SavedCursorPos = p.GetCursorPos();
    p.ShowCursor(false);
  } else {
    TWindowRect r;
    if (p.GetWindowRect(app_.PreviewParent, r)) {
      Width = r.Right - r.Left;
      Height = r.Bottom - r.Top;
    } else {
      // No host to measure: the window cannot be made anyway, but the walker
      // table is still seeded before that is found out.
      Width = 1;
      Height = 1;
    }
  }
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
  // The drawing surface takes this size when it is made on the first tick.
  RunSaverStartup(*field_, WalkerCount, Width, Height, app_.Platform().CalendarTimeSeconds(), app_.Files());
}

TCreateParams TMainForm::CreateParams() {
  TCreateParams cp;
  cp.Parent = 0;
  cp.Style = WS_POPUP_ | WS_CLIPSIBLINGS_ | WS_CLIPCHILDREN_;
  cp.X = Left;
  cp.Y = Top;
  cp.Width = Width;
  cp.Height = Height;
  cp.Topmost = true;
  if (app_.RunMode == rmPreview) {
    cp.Parent = app_.PreviewParent;
    cp.Style = PreviewChildStyle;  // assigned, not combined
  }
  filterInstalled_ = true;
  return cp;
}

void TMainForm::CreateWindowHandle() {
  const TCreateParams cp = CreateParams();
  if ((cp.Style & WS_CHILD_) != 0 && cp.Parent == 0) throw EInvalidOperation::NoParent("MainForm");
  if (!app_.Platform().CreateSaverWindow(cp)) throw EOutOfResources::WindowCreate();
}

void TMainForm::ApplicationMessage(const TMsg& msg, bool& handled) {
  // The whole wParam is compared: its four low bits are not masked off.
  if (msg.Message == WM_SYSCOMMAND_ && (msg.WParam == SC_CLOSE_ || msg.WParam == SC_SCREENSAVE_)) handled = true;
}

void TMainForm::FormMouseMove(std::int32_t x, std::int32_t y) {
  if (app_.RunMode != rmSaver) return;
  if (x != SavedCursorPos.x || y != SavedCursorPos.y) Close();
}

void TMainForm::FormMouseDown() {
  if (app_.RunMode != rmSaver) return;
  Close();
}

void TMainForm::FormKeyDown(int /*key*/) {
  if (app_.RunMode != rmSaver) return;
  Close();
}

void TMainForm::Close() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (canClose) app_.Terminate();
}

void TMainForm::FormCloseQuery(bool& canClose) {
  if (app_.RunMode != rmSaver) return;
  IPlatform& p = app_.Platform();

  const THandle key = p.RegOpenKey(DesktopKey);
  if (key == 0) return;
  TRegistryKey keyGuard(p, key);

  const TRegValue value = p.RegReadInteger(key, UsePasswordValue);
  switch (value.Kind) {
    case TRegValueKind::Dword:
      break;
    case TRegValueKind::Missing:
      // A key without the value means no password is in use. Treating it as
      // an error would refuse every close and lock the user out.
      return;
    case TRegValueKind::TooLong:
      throw ERegistryException::ReadFailed(UsePasswordValue);
    case TRegValueKind::WrongType:
      throw ERegistryException::InvalidDataType(UsePasswordValue);
  }
  if (value.Data != 1) return;

  const THandle library = p.LoadLibrary("PASSWORD.CPL");
  if (library == 0) return;
  const THandle verify = p.GetProcAddress(library, "VerifyScreenSavePwd");
  p.ShowCursor(true);
  if (verify != 0 && p.CallVerifyScreenSavePwd(verify, p.SaverWindowHandle()) == 0) {
    canClose = false;
    SavedCursorPos = p.GetCursorPos();
    p.ShowCursor(false);
  }
  p.FreeLibrary(library);
}

void TMainForm::Timer1Timer() {
  if (!compositor_) {
    try {
      compositor_ = std::make_unique<TCompositor>(*sheet_, Width, Height);
    } catch (const std::invalid_argument& e) {
      throw EInvalidGraphic(e.what());  // a sheet whose masks are not black and white
    }
  }
  compositor_->ComposeFrame(*field_, WalkerCount);
  const TFrameView frame{compositor_->Pixels(), compositor_->Width(), compositor_->Height(), compositor_->Width()};
  app_.Platform().PresentFrame(frame, compositor_->Damage());
}

void TMainForm::FormDestroy() { app_.Platform().ShowCursor(true); }

}  // namespace quillfen
