#include "anim/bitmap.h"

#include <limits>

namespace quillfen {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) noexcept {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) noexcept {
  return U16(b, at) | U16(b, at + 2) << 16;
}
std::int32_t S32(std::span<const std::uint8_t> b, std::size_t at) noexcept {
  return static_cast<std::int32_t>(U32(b, at));
}

TDecodedBitmap Fail(std::string why) {
  TDecodedBitmap r;
  r.Error = std::move(why);
  return r;
}

}  // namespace

TDecodedBitmap DecodeBitmap(std::span<const std::uint8_t> file, std::int32_t width, std::int32_t height) {
  if (file.size() < FileHeaderSize + InfoHeaderSize) return Fail("truncated header");
  if (file[0] != 'B' || file[1] != 'M') return Fail("not a bitmap (no \"BM\" signature)");
  const std::uint32_t pixelOffset = U32(file, 10);
  const std::uint32_t headerSize = U32(file, 14);
  // 40: the plain info header; 52..124: its later versions, same first fields.
  if (headerSize < InfoHeaderSize || headerSize > 124)
    return Fail("unsupported header size " + std::to_string(headerSize));
  if (file.size() < FileHeaderSize + headerSize) return Fail("truncated header");

  const std::int32_t w = S32(file, 18);
  const std::int32_t rawHeight = S32(file, 22);
  const std::uint32_t planes = U16(file, 26);
  const std::uint32_t depth = U16(file, 28);
  const std::uint32_t compression = U32(file, 30);
  const std::uint32_t colorsUsed = U32(file, 46);

  if (planes != 1) return Fail("bad plane count " + std::to_string(planes));
  if (depth != 8) return Fail("wrong depth: " + std::to_string(depth) + " bits per pixel, expected 8");
  if (compression != 0) return Fail("compressed bitmaps are not supported");
  // A negative height means rows top-down; the most negative value has no size.
  if (rawHeight == std::numeric_limits<std::int32_t>::min()) return Fail("bad height");
  const bool topDown = rawHeight < 0;
  const std::int32_t h = topDown ? -rawHeight : rawHeight;
  if (w != width || h != height)
    return Fail("wrong size " + std::to_string(w) + "x" + std::to_string(h) + ", expected " + std::to_string(width) +
                "x" + std::to_string(height));
  if (w <= 0 || h <= 0) return Fail("empty image");
  if (colorsUsed > 256) return Fail("bad palette size " + std::to_string(colorsUsed));
  const std::uint32_t paletteSize = colorsUsed == 0 ? 256 : colorsUsed;

  const std::size_t paletteAt = FileHeaderSize + headerSize;
  if (file.size() - paletteAt < std::size_t{4} * paletteSize) return Fail("truncated palette");
  if (pixelOffset < paletteAt + std::size_t{4} * paletteSize) return Fail("pixel data overlaps the palette");

  const std::size_t stride = (static_cast<std::size_t>(w) + 3) & ~std::size_t{3};
  const std::size_t rows = static_cast<std::size_t>(h);
  if (pixelOffset > file.size() || (file.size() - pixelOffset) / stride < rows) return Fail("truncated pixel data");

  std::uint32_t palette[256];
  for (std::uint32_t i = 0; i < paletteSize; ++i) {
    const std::size_t at = paletteAt + 4 * i;  // blue, green, red, reserved
    palette[i] = static_cast<std::uint32_t>(file[at + 2]) << 16 | static_cast<std::uint32_t>(file[at + 1]) << 8 |
                 static_cast<std::uint32_t>(file[at]);
  }

  TDecodedBitmap r;
  r.Image.Width = w;
  r.Image.Height = h;
  r.Image.Pixels.resize(static_cast<std::size_t>(w) * rows);
  for (std::size_t y = 0; y < rows; ++y) {
    const std::size_t fileRow = topDown ? y : rows - 1 - y;
    const std::uint8_t* src = file.data() + pixelOffset + fileRow * stride;
    std::uint32_t* dst = r.Image.Pixels.data() + y * static_cast<std::size_t>(w);
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint8_t index = src[x];
      if (index >= paletteSize)
        return Fail("bad palette index " + std::to_string(index) + " at pixel (" + std::to_string(x) + ", " +
                    std::to_string(y) + ")");
      dst[x] = palette[index];
    }
  }
  return r;
}

}  // namespace quillfen
