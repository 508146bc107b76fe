// The fonts of our windows, looked up by family through fontconfig.
#pragma once

#include <FL/Enumerations.H>

namespace quillfen::x11 {

// The message box: a face with the Japanese kana and kanji of the messages.
Fl_Font MessageFont();
// The setup dialog: "Arial" bold (Liberation Sans on Debian).
Fl_Font DialogFont();

}  // namespace quillfen::x11
