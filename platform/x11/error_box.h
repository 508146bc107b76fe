// The standard error display: a modal box with a caption, a stop icon, the
// message and one OK button.
#pragma once

#include <functional>
#include <string>

namespace quillfen::x11 {

// Shows the box and returns when it has been closed (OK, Enter, Escape,
// Space on OK, or the window manager's close). `pump` runs the program's
// one event loop for one round, so the animation goes on meanwhile; the
// toolkit's modal state keeps the toolkit's other windows from input.
// Needs the toolkit's display to be open.
void RunErrorBox(const std::string& caption, const std::string& text, const std::function<void()>& pump);

// Gives a freshly shown top-level window the keyboard, as the system does
// for a new active window (there may be no window manager to do it).
void TakeFocus(unsigned long xWindow);

}  // namespace quillfen::x11
