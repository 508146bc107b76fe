// The X connections of the program: one of our own for the saver window and
// the geometry questions, and the toolkit's for the dialogs.
#pragma once

#include <X11/Xlib.h>

#include <stdexcept>
#include <string>

namespace quillfen::x11 {

// No X server to talk to. The program cannot show anything then, so main()
// reports it and ends.
class TDisplayUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Opens the display named by $DISPLAY; throws TDisplayUnavailable.
Display* OpenDisplayOrThrow();

// X errors are answers, not reasons to end the program: a preview's host can
// vanish between two requests, a window id from the command line can name
// nothing. Every place that needs to know asks with a request that has a
// reply (and so a status); everything else is ignored, as the system's
// failures are.
void InstallQuietErrorHandler();

// Makes sure the toolkit's connection is open (it would end the process on
// its own if it could not open one).
void OpenToolkitDisplay();

}  // namespace quillfen::x11
