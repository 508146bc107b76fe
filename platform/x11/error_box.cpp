#include "platform/x11/error_box.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

#include "platform/x11/fonts.h"

namespace quillfen::x11 {

namespace {

constexpr int Margin = 12;
constexpr int IconSize = 32;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int TextSize = 12;

// A red disc with a white cross: the stop sign of the error display.
class TStopIcon : public Fl_Widget {
 public:
  TStopIcon(int x, int y) : Fl_Widget(x, y, IconSize, IconSize) {}
  void draw() override {
    fl_color(fl_rgb_color(128, 0, 0));
    fl_pie(x(), y(), w(), h(), 0, 360);
    fl_color(fl_rgb_color(230, 30, 30));
    fl_pie(x() + 1, y() + 1, w() - 2, h() - 2, 0, 360);
    fl_color(FL_WHITE);
    fl_line_style(FL_SOLID | FL_CAP_ROUND, 4);
    const int a = 10, b = IconSize - 11;
    fl_line(x() + a, y() + a, x() + b, y() + b);
    fl_line(x() + b, y() + a, x() + a, y() + b);
    fl_line_style(0);
  }
};

// The one button: Enter (both keys) and Space press it, as in the system's
// message boxes.
class TOkButton : public Fl_Button {
 public:
  TOkButton(int x, int y, int w, int h) : Fl_Button(x, y, w, h, "OK") {}
  int handle(int event) override {
    if ((event == FL_KEYBOARD || event == FL_SHORTCUT) &&
        (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      do_callback();
      return 1;
    }
    return Fl_Button::handle(event);
  }
};

// Text drawn as it stands: no "@" symbols, no "&" shortcuts (a path may
// hold either).
class TPlainText : public Fl_Widget {
 public:
  TPlainText(int x, int y, int w, int h, const std::string& text) : Fl_Widget(x, y, w, h), text_(text) {}
  void draw() override {
    fl_font(MessageFont(), TextSize);
    fl_color(FL_BLACK);
    fl_draw(text_.c_str(), x(), y(), w(), h(), FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP, nullptr,
            0);
  }

 private:
  std::string text_;
};

}  // namespace

void TakeFocus(unsigned long xWindow) {
  if (fl_display == nullptr || xWindow == 0) return;
  // Without a window manager the map is done at once; with one, the
  // request may fail (the window is not viewable yet) and the manager
  // gives the focus itself. X errors are ignored either way.
  XSync(fl_display, False);
  XSetInputFocus(fl_display, xWindow, RevertToParent, CurrentTime);
  XFlush(fl_display);
}

void RunErrorBox(const std::string& caption, const std::string& text, const std::function<void()>& pump) {
  fl_font(MessageFont(), TextSize);
  int textWidth = std::max(Fl::w() * 2 / 3, 200);
  int textHeight = 0;
  fl_measure(text.c_str(), textWidth, textHeight, 0);
  textHeight = std::max(textHeight, fl_height());

  const int textX = Margin + IconSize + Margin;
  const int width = std::max(textX + textWidth + Margin + 8, ButtonWidth + 4 * Margin);
  const int bodyHeight = std::max(IconSize, textHeight);
  const int height = Margin + bodyHeight + Margin + ButtonHeight + Margin;

  Fl_Double_Window box(width, height);
  box.copy_label(caption.c_str());
  box.color(FL_BACKGROUND_COLOR);
  new TStopIcon(Margin, Margin);
  new TPlainText(textX, Margin + (bodyHeight - textHeight) / 2, textWidth + 8, textHeight, text);
  auto* ok = new TOkButton((width - ButtonWidth) / 2, height - Margin - ButtonHeight, ButtonWidth, ButtonHeight);
  ok->labelfont(MessageFont());
  ok->labelsize(TextSize);
  ok->callback([](Fl_Widget* button, void*) { button->window()->hide(); });
  box.end();
  box.set_modal();
  box.position((Fl::w() - width) / 2, (Fl::h() - height) / 2);
  // Escape and the window manager's close end the box as OK does: the
  // window's default callback hides it.
  box.show();
  ok->take_focus();
  TakeFocus(fl_xid(&box));
  while (box.shown()) pump();
}

}  // namespace quillfen::x11
