// quillfen: the screen saver's Linux program.
#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "platform/x11/linux_files.h"
#include "platform/x11/x11_platform.h"
#include "platform/x11/x_display.h"
#include "res/embedded_art.h"

int main(int argc, char** argv) {
  // The argument vector as it came: the system has already split it.
  const std::vector<std::string_view> args(argv, argv + argc);
  quillfen::TLinuxFileAccess files;
  quillfen::x11::TX11Platform platform({quillfen::SpriteSheetBitmap(), quillfen::DialogPictureBitmap()});
  try {
    // -1 leaves the process as status 255.
    return quillfen::RunQuillfen(platform, files, std::span<const std::string_view>(args));
  } catch (const quillfen::x11::TDisplayUnavailable& e) {
    std::fprintf(stderr, "quillfen: %s\n", e.what());
    return 1;
  }
}
