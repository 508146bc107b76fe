#include "platform/x11/x_display.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdlib>

namespace quillfen::x11 {

namespace {

int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

Display* OpenDisplayOrThrow() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    throw TDisplayUnavailable(std::string("cannot open the X display \"") + (name != nullptr ? name : "") +
                              "\" (is DISPLAY set and an X server running?)");
  }
  InstallQuietErrorHandler();
  return display;
}

void InstallQuietErrorHandler() {
  XSetErrorHandler(IgnoreXError);
}

void OpenToolkitDisplay() {
  if (fl_display != nullptr) return;
  fl_open_display(OpenDisplayOrThrow());
  // The toolkit puts in a handler of its own that prints every error.
  InstallQuietErrorHandler();
}

}  // namespace quillfen::x11
