// The setup dialog's window: the fixed layout of the form, drawn with FLTK.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Fl_Button;
class Fl_Input;
class Fl_RGB_Image;
class Fl_Window;

namespace quillfen::x11 {

struct TSetupDialogActions {
  std::function<void(const std::string& editText)> Ok;                      // OK pressed
  std::function<std::string(const std::string& editText, int delta)> Step;  // an arrow: the new edit text
  std::function<void()> Close;                                              // the title bar's close, Alt+F4
};

// The dialog picture as 0x00RRGGBB pixels, rows top-down.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;
};

class TSetupDialogWindow {
 public:
  TSetupDialogWindow(TSetupDialogActions actions, const TPicture& picture);
  ~TSetupDialogWindow();
  TSetupDialogWindow(const TSetupDialogWindow&) = delete;
  TSetupDialogWindow& operator=(const TSetupDialogWindow&) = delete;

  // Centred on the screen, with `editText` in the edit box and the focus
  // on the first control of the tab order (OK).
  void Show(const std::string& editText);
  void Hide();
  bool Shown() const;
  std::string EditText() const;

 private:
  TSetupDialogActions actions_;
  std::vector<unsigned char> pictureRgb_;
  std::unique_ptr<Fl_RGB_Image> picture_;
  std::unique_ptr<Fl_Window> window_;
  Fl_Button* ok_ = nullptr;  // owned by the window
  Fl_Input* edit_ = nullptr;
};

}  // namespace quillfen::x11
