// The art, built into the program: the bytes of res/sheet.bmp and
// res/dialog.bmp as they were when the program was built.
#pragma once

#include <cstdint>
#include <span>

namespace quillfen {

std::span<const std::uint8_t> SpriteSheetBitmap() noexcept;
std::span<const std::uint8_t> DialogPictureBitmap() noexcept;

}  // namespace quillfen
