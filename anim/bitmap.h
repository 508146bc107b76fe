// Reading the program's own Windows bitmaps (8 bits per pixel, palette,
// uncompressed) into 32-bit pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillfen {

// Pixels are 0x00RRGGBB, rows top-down, stride = Width.
struct TImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint32_t> Pixels;

  std::uint32_t At(std::int32_t x, std::int32_t y) const noexcept {
    return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
  }
};

struct TDecodedBitmap {
  TImage Image;       // meaningful only when Error is empty
  std::string Error;  // why the file was rejected, e.g. "truncated pixel data"
  bool Ok() const noexcept { return Error.empty(); }
};

// Decodes a complete .bmp file (file header included) of exactly
// `width` x `height` pixels. Accepts bottom-up and top-down rows and a
// palette of 1 to 256 entries; rejects every other format and every pixel
// whose index lies beyond the palette.
TDecodedBitmap DecodeBitmap(std::span<const std::uint8_t> file, std::int32_t width, std::int32_t height);

}  // namespace quillfen
