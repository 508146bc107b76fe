#include "platform/x11/setup_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Repeat_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include "platform/x11/error_box.h"
#include "platform/x11/fonts.h"

namespace quillfen::x11 {

namespace {

// The form's fixed layout, in pixels.
constexpr int ClientWidth = 281, ClientHeight = 216;
constexpr int FontSize = 13;  // characters 13 pixels high
const Fl_Color Maroon = fl_rgb_color(128, 0, 0);
const Fl_Color Gray = fl_rgb_color(128, 128, 128);
const Fl_Color Navy = fl_rgb_color(0, 0, 128);

bool IsArrowKey(int key) {
  return key == FL_Up || key == FL_Down || key == FL_Left || key == FL_Right || key == FL_KP + '8' ||
         key == FL_KP + '2' || key == FL_KP + '4' || key == FL_KP + '6';
}

// The window: the toolkit would move the focus with the arrow keys, the
// form does not; Tab and Shift+Tab go round OK and the edit box.
class TDialogWindow : public Fl_Window {
 public:
  TDialogWindow() : Fl_Window(ClientWidth, ClientHeight, "Setup") {}
  int handle(int event) override {
    if (event == FL_KEYBOARD && IsArrowKey(Fl::event_key())) return 1;
    return Fl_Window::handle(event);
  }
};

// A transparent label: the text's top-left corner at the label's.
class TLabel : public Fl_Widget {
 public:
  TLabel(int x, int y, int w, int h, const char* text, Fl_Color color) : Fl_Widget(x, y, w, h), text_(text) {
    Fl_Widget::color(color);
  }
  void draw() override {
    fl_font(DialogFont(), FontSize);
    fl_color(color());
    fl_draw(text_, x(), y() + fl_height() - fl_descent());
  }

 private:
  const char* text_;
};

class TPictureBox : public Fl_Widget {
 public:
  TPictureBox(int x, int y, int w, int h, Fl_RGB_Image* image) : Fl_Widget(x, y, w, h), image_(image) {}
  void draw() override {
    if (image_ != nullptr) image_->draw(x(), y());
  }

 private:
  Fl_RGB_Image* image_;
};

// OK: Enter presses it only while it has the focus; Space too (the
// toolkit's own button does that).
class TOkButton : public Fl_Button {
 public:
  TOkButton(int x, int y, int w, int h) : Fl_Button(x, y, w, h, "OK") {}
  int handle(int event) override {
    if (event == FL_KEYBOARD && Fl::focus() == this &&
        (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      do_callback();
      return 1;
    }
    return Fl_Button::handle(event);
  }
};

// The edit box: the Up and Down keys step the up-down control; Enter does
// nothing here (the toolkit would move the focus on).
class TEdit : public Fl_Input {
 public:
  TEdit(int x, int y, int w, int h, const TSetupDialogActions& actions) : Fl_Input(x, y, w, h), actions_(actions) {}
  int handle(int event) override {
    if (event == FL_KEYBOARD) {
      const int key = Fl::event_key();
      if (key == FL_Enter || key == FL_KP_Enter) return 1;
      const int delta = key == FL_Up || key == FL_KP + '8' ? 1 : key == FL_Down || key == FL_KP + '2' ? -1 : 0;
      if (delta != 0) {
        Step(delta);
        return 1;
      }
    }
    return Fl_Input::handle(event);
  }
  void Step(int delta) {
    const std::string text = actions_.Step(value(), delta);
    value(text.c_str());
    position(size());
  }

 private:
  const TSetupDialogActions& actions_;
};

// One half of the up-down control: repeats while held, never takes the focus.
class TArrowButton : public Fl_Repeat_Button {
 public:
  TArrowButton(int x, int y, int w, int h, bool up) : Fl_Repeat_Button(x, y, w, h), up_(up) { clear_visible_focus(); }
  int handle(int event) override {
    if (event == FL_FOCUS) return 0;
    return Fl_Repeat_Button::handle(event);
  }
  void draw() override {
    draw_box(value() ? FL_DOWN_BOX : FL_UP_BOX, color());
    const int cx = x() + w() / 2 + (value() ? 1 : 0);
    const int cy = y() + h() / 2 + (value() ? 1 : 0);
    fl_color(active_r() ? FL_BLACK : FL_INACTIVE_COLOR);
    if (up_)
      fl_polygon(cx - 3, cy + 1, cx + 3, cy + 1, cx, cy - 2);
    else
      fl_polygon(cx - 3, cy - 1, cx + 3, cy - 1, cx, cy + 2);
  }

 private:
  bool up_;
};

}  // namespace

TSetupDialogWindow::TSetupDialogWindow(TSetupDialogActions actions, const TPicture& picture)
    : actions_(std::move(actions)) {
  if (picture.Width > 0 && picture.Height > 0) {
    pictureRgb_.reserve(picture.Pixels.size() * 3);
    for (const std::uint32_t p : picture.Pixels) {
      pictureRgb_.push_back(static_cast<unsigned char>(p >> 16));
      pictureRgb_.push_back(static_cast<unsigned char>(p >> 8));
      pictureRgb_.push_back(static_cast<unsigned char>(p));
    }
    picture_ = std::make_unique<Fl_RGB_Image>(pictureRgb_.data(), picture.Width, picture.Height, 3);
  }

  // The controls in the form's order, which is also their stacking order
  // and, for those that take the focus, the tab order (OK, then the edit).
  auto* window = new TDialogWindow();
  window_.reset(window);
  window->color(FL_WHITE);
  new TPictureBox(0, 0, 168, 214, picture_.get());
  new TLabel(176, 8, 71, 16, "Quillfen", Maroon);
  new TLabel(169, 32, 104, 16, "for Windows 95", Maroon);
  new TLabel(168, 68, 35, 16, "value", Gray);

  auto* ok = new TOkButton(192, 160, 57, 33);
  ok_ = ok;
  ok->labelfont(DialogFont());
  ok->labelsize(FontSize);
  ok->callback(
      [](Fl_Widget*, void* self) {
        auto* dialog = static_cast<TSetupDialogWindow*>(self);
        dialog->actions_.Ok(dialog->EditText());
      },
      this);

  auto* edit = new TEdit(209, 64, 49, 24, actions_);
  edit_ = edit;
  edit->color(Maroon);
  edit->textcolor(FL_WHITE);
  edit->cursor_color(FL_WHITE);
  edit->selection_color(Navy);
  edit->textfont(DialogFont());
  edit->textsize(FontSize);
  edit->value("12");

  auto* up = new TArrowButton(258, 64, 15, 12, true);
  auto* down = new TArrowButton(258, 76, 15, 12, false);
  up->callback([](Fl_Widget*, void* e) { static_cast<TEdit*>(e)->Step(1); }, edit);
  down->callback([](Fl_Widget*, void* e) { static_cast<TEdit*>(e)->Step(-1); }, edit);
  window->end();

  // The window manager's close ends the program; Escape does nothing.
  window->callback(
      [](Fl_Widget*, void* self) {
        if (Fl::event() == FL_CLOSE) static_cast<TSetupDialogWindow*>(self)->actions_.Close();
      },
      this);
}

TSetupDialogWindow::~TSetupDialogWindow() {
  if (window_) window_->hide();
  window_.reset();
}

void TSetupDialogWindow::Show(const std::string& editText) {
  edit_->value(editText.c_str());
  window_->position((Fl::w() - ClientWidth) / 2, (Fl::h() - ClientHeight) / 2);
  window_->show();
  ok_->take_focus();  // OK, first in the tab order
  TakeFocus(fl_xid(window_.get()));
}

void TSetupDialogWindow::Hide() {
  window_->hide();
}

bool TSetupDialogWindow::Shown() const {
  return window_->shown() != 0;
}

std::string TSetupDialogWindow::EditText() const {
  return edit_->value();
}

}  // namespace quillfen::x11
