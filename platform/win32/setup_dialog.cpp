#include "platform/win32/setup_dialog.h"

#include <commctrl.h>

#include <climits>

#include "app/application.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_platform.h"
#include "settings/opt_dialog.h"

namespace quillfen::win32 {

namespace {

// The form's layout, in pixels at 96 pixels per inch.
constexpr int ClientWidth = 281, ClientHeight = 216;
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Maroon = RGB(128, 0, 0);
constexpr COLORREF Gray = RGB(128, 128, 128);
constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;

}  // namespace

void SetupDialog::Register(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &SetupDialog::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = ClassName;
  RegisterClassExW(&wc);
}

HWND SetupDialog::MakeControl(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, int left, int top,
                              int width, int height, int id, HINSTANCE instance) {
  const HWND control =
      CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(left), Scale(top), Scale(width),
                      Scale(height), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (control != nullptr && font_ != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

bool SetupDialog::Create(HINSTANCE instance, HWND owner, const TOptDialog& state) {
  Destroy();
  {
    const HDC screen = GetDC(nullptr);
    dpi_ = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;
  }

  // A fixed dialog frame around the client area, centred on the screen.
  RECT frame{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
  AdjustWindowRectEx(&frame, DialogStyle, FALSE, DialogExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  hwnd_ = CreateWindowExW(DialogExStyle, ClassName, L"Setup", DialogStyle, left, top, width, height, owner, nullptr,
                          instance, this);
  if (hwnd_ == nullptr) return false;

  // "Arial", 13 pixels high, bold; the labels differ from the form only in colour.
  font_ = CreateFontW(-Scale(13), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
  editBrush_ = CreateSolidBrush(Maroon);

  // Created in tab order, so that the dialog keys walk Button1 then Edit1.
  button1_ = MakeControl(0, L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, 192, 160, 57, 33, IdButton1, instance);
  edit1_ = MakeControl(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, 209, 64, 49, 24, IdEdit1,
                       instance);
  upDown1_ = MakeControl(0, UPDOWN_CLASSW, nullptr, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_ALIGNRIGHT,
                         258, 64, 15, 24, IdUpDown1, instance);
  label1_ = MakeControl(0, L"STATIC", L"Quillfen", SS_LEFT | SS_NOPREFIX, 176, 8, 71, 16, IdLabel1, instance);
  label2_ = MakeControl(0, L"STATIC", L"for Windows 95", SS_LEFT | SS_NOPREFIX, 169, 32, 104, 16, IdLabel2, instance);
  label3_ = MakeControl(0, L"STATIC", L"value", SS_LEFT | SS_NOPREFIX, 168, 68, 35, 16, IdLabel3, instance);
  image1_ = MakeControl(0, L"STATIC", nullptr, SS_BITMAP, 0, 0, 168, 214, IdImage1, instance);
  if (button1_ == nullptr || edit1_ == nullptr || upDown1_ == nullptr) {
    Destroy();
    return false;
  }

  // The picture at its own size, like an auto-sized image.
  picture_ = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(QF_IDB_DIALOG_PICTURE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  if (picture_ != nullptr && image1_ != nullptr)
    SendMessageW(image1_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));

  // No length limit and no filter on what is typed.
  SendMessageW(edit1_, EM_SETLIMITTEXT, 0, 0);
  SetWindowTextA(edit1_, state.Edit1Text.c_str());

  // The up-down control takes its buddy, range and position; as a buddy-int
  // control it writes the position into the edit box.
  SendMessageW(upDown1_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit1_), 0);
  SendMessageW(upDown1_, UDM_SETRANGE32, static_cast<WPARAM>(TOptDialog::UpDown1Min),
               static_cast<LPARAM>(TOptDialog::UpDown1Max));
  SendMessageW(upDown1_, UDM_SETPOS32, 0, static_cast<LPARAM>(state.UpDown1Position));
  // A count from the file outside the range is shown as it is, not clamped.
  if (state.UpDown1Position < TOptDialog::UpDown1Min || state.UpDown1Position > TOptDialog::UpDown1Max)
    SetWindowTextA(edit1_, std::to_string(state.UpDown1Position).c_str());
  // Aligning to its buddy moved both; put them where the form has them.
  MoveWindow(edit1_, Scale(209), Scale(64), Scale(49), Scale(24), FALSE);
  MoveWindow(upDown1_, Scale(258), Scale(64), Scale(15), Scale(24), FALSE);
  lastFocus_ = button1_;
  return true;
}

void SetupDialog::Show() {
  if (hwnd_ == nullptr || IsWindowVisible(hwnd_)) return;
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetFocus(lastFocus_ != nullptr ? lastFocus_ : button1_);
  UpdateWindow(hwnd_);
}

void SetupDialog::Destroy() {
  if (hwnd_ != nullptr) {
    const HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
  button1_ = edit1_ = upDown1_ = label1_ = label2_ = label3_ = image1_ = lastFocus_ = nullptr;
  if (font_ != nullptr) DeleteObject(font_);
  if (editBrush_ != nullptr) DeleteObject(editBrush_);
  if (picture_ != nullptr) DeleteObject(picture_);
  font_ = nullptr;
  editBrush_ = nullptr;
  picture_ = nullptr;
}

void SetupDialog::Disable() {
  if (hwnd_ == nullptr) return;
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
  EnableWindow(hwnd_, FALSE);
}

void SetupDialog::Enable() {
  if (hwnd_ != nullptr) EnableWindow(hwnd_, TRUE);
}

std::string SetupDialog::EditText() const {
  // The settings file holds the system's ANSI bytes, so the text is read as such.
  const int length = GetWindowTextLengthA(edit1_);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(edit1_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

bool SetupDialog::PreTranslate(MSG& msg) {
  if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR;
  if (key && msg.wParam == VK_ESCAPE) return true;
  if (key && msg.wParam == VK_RETURN) {
    if (msg.message == WM_KEYDOWN && GetFocus() == button1_) {
      SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IdButton1, BN_CLICKED), reinterpret_cast<LPARAM>(button1_));
    }
    return true;
  }
  return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

LRESULT CALLBACK SetupDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<SetupDialog>(hwnd, message, lParam);
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT SetupDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IdButton1 && HIWORD(wParam) == BN_CLICKED) {
        const std::string text = EditText();
        platform_.Deliver([&text](TApplication& app) { app.HandleOkClick(text); });
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      // Transparent labels in their own colours on the white form.
      const auto dc = reinterpret_cast<HDC>(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      SetTextColor(dc, control == label3_ ? Gray : Maroon);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_CTLCOLOREDIT: {
      // White bold text on maroon.
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, White);
      SetBkColor(dc, Maroon);
      return reinterpret_cast<LRESULT>(editBrush_);
    }
    case WM_ACTIVATE:
      // Keep the focus where it was when the dialog comes back to the front.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      platform_.Deliver([](TApplication& app) { app.HandleDialogClose(); });
      return 0;
    case WM_QUERYENDSESSION: {
      bool mayEnd = true;
      platform_.Deliver([&mayEnd](TApplication& app) { mayEnd = app.HandleQueryEndSession(); });
      return mayEnd ? TRUE : FALSE;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace quillfen::win32
