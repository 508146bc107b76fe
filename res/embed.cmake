# Turns the bitmaps into a C++ source file of byte arrays:
#   cmake -DOUTPUT=file.cpp -DSHEET=sheet.bmp -DDIALOG=dialog.bmp -P embed.cmake
function(byte_array path name out)
  file(READ ${path} hex HEX)
  string(LENGTH "${hex}" length)
  math(EXPR size "${length} / 2")
  # Twenty bytes (forty digits) to a line.
  string(REGEX REPLACE "(........................................)" "\\1\n  " hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(${out} "const std::uint8_t ${name}[${size}] = {\n  ${bytes}\n};\n" PARENT_SCOPE)
endfunction()

byte_array(${SHEET} SheetBytes sheet)
byte_array(${DIALOG} DialogBytes dialog)
file(WRITE ${OUTPUT}.tmp "// Generated from res/sheet.bmp and res/dialog.bmp; do not edit.
#include \"res/embedded_art.h\"

namespace quillfen {
namespace {
${sheet}
${dialog}
}  // namespace

std::span<const std::uint8_t> SpriteSheetBitmap() noexcept { return SheetBytes; }
std::span<const std::uint8_t> DialogPictureBitmap() noexcept { return DialogBytes; }

}  // namespace quillfen
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
