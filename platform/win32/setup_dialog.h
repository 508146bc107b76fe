// The setup dialog with the system's own controls: the picture, three labels,
// the OK button, and an edit box with an up-down control as its buddy.
#pragma once

#include <string>

#include "platform/win32/system.h"

namespace quillfen {
class TOptDialog;
}

namespace quillfen::win32 {

class Win32Platform;

class SetupDialog {
 public:
  static constexpr const wchar_t* ClassName = L"QuillfenSetup";
  static void Register(HINSTANCE instance);

  // Control identifiers, in tab order first.
  enum : int { IdButton1 = 101, IdEdit1, IdUpDown1, IdLabel1, IdLabel2, IdLabel3, IdImage1 };

  explicit SetupDialog(Win32Platform& platform) : platform_(platform) {}
  ~SetupDialog() { Destroy(); }
  SetupDialog(const SetupDialog&) = delete;
  SetupDialog& operator=(const SetupDialog&) = delete;

  // Builds the window, hidden, from the dialog's state: Edit1's text, then
  // UpDown1's range and position, which the up-down control writes into the
  // edit box.
  bool Create(HINSTANCE instance, HWND owner, const TOptDialog& state);
  HWND Hwnd() const { return hwnd_; }
  void Show();
  void Destroy();
  void Disable();
  void Enable();

  // The dialog's keyboard, for a message taken from the queue: true when it
  // has been handled here. Tab moves between the controls; Enter clicks OK
  // only while OK has the focus; Escape does nothing.
  bool PreTranslate(MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  std::string EditText() const;
  int Scale(int value) const { return MulDiv(value, dpi_, 96); }
  HWND MakeControl(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, int left, int top, int width,
                   int height, int id, HINSTANCE instance);

  Win32Platform& platform_;
  HWND hwnd_ = nullptr;
  HWND button1_ = nullptr, edit1_ = nullptr, upDown1_ = nullptr;
  HWND label1_ = nullptr, label2_ = nullptr, label3_ = nullptr, image1_ = nullptr;
  HWND lastFocus_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH editBrush_ = nullptr;
  HBITMAP picture_ = nullptr;
  int dpi_ = 96;
};

}  // namespace quillfen::win32
