#include "platform/x11/fonts.h"

#include <FL/Fl.H>

namespace quillfen::x11 {

namespace {

// Our own slots in the toolkit's font table. The leading character is the
// toolkit's style mark: a blank for regular, "B" for bold.
constexpr Fl_Font MessageSlot = FL_FREE_FONT;
constexpr Fl_Font DialogSlot = FL_FREE_FONT + 1;

}  // namespace

Fl_Font MessageFont() {
  Fl::set_font(MessageSlot, " VL Gothic");
  return MessageSlot;
}

Fl_Font DialogFont() {
  Fl::set_font(DialogSlot, "BArial");
  return DialogSlot;
}

}  // namespace quillfen::x11
