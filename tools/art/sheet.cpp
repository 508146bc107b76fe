#include <stdexcept>

#include "anim/sprites.h"
#include "tools/art/art.h"

namespace quillfen::art {

const std::vector<Colour>& Palette() {
  static const std::vector<Colour> palette = [] {
    const std::uint32_t rgb[64] = {
        0xFFFFFF,                                                                        // white
        0x2A2330, 0x453D4A, 0x615A66, 0x7E7882, 0x9C97A0, 0xBAB6BD, 0xD5D2D7, 0xECEAED,  // ink to pale grey
        0xFFE0C4, 0xF5C39A, 0xD99A6C, 0xA86C48,                                          // skin
        0x3D2A20, 0x5E3F2C, 0x86593A, 0xB38358,                                          // brown
        0x1F3566, 0x2F5199, 0x4F78C4, 0x8FB0E6, 0xD0DEF5,                                // blue
        0x7A1F2A, 0xB8323A, 0xE05A4E, 0xF29A8C, 0xFAD6CF,                                // red
        0x24502E, 0x3A7D43, 0x5FAE5A, 0xA3D68A, 0xDCF0CF,                                // green
        0x8A3D14, 0xC8611F, 0xEC8A35, 0xF8B878, 0xFDE3C4,                                // fox orange
        0x8C6A12, 0xC9A126, 0xEFD055, 0xF8E9A8,                                          // gold
        0x3B4858, 0x5B6D80, 0x8496AA, 0xB3C2D0, 0xDDE5EC,                                // slate
        0x4F4A55, 0x6E6876, 0x8F899A, 0xB0ABBA, 0xD2CED9,                                // stone grey
        0x164F56, 0x25797D, 0x3FA6A3, 0x86D1C9, 0xC9EDE8,                                // teal
        0x5A2F6E, 0x8E55A8, 0xE07FA8, 0xF7C3D8,                                          // plum and pink
        0xFFF4D6, 0xCFE6F7, 0x1C2A48,                                                    // cream, sky, night
        0x000000,                                                                        // black
    };
    std::vector<Colour> p;
    for (std::uint32_t v : rgb) p.push_back(Rgb(v));
    return p;
  }();
  return palette;
}

std::vector<std::uint8_t> EncodeBitmap(std::int32_t width, std::int32_t height,
                                       const std::vector<std::uint8_t>& indices, const std::vector<Colour>& palette) {
  if (palette.size() != 64 || indices.size() != static_cast<std::size_t>(width) * height)
    throw std::invalid_argument("bad bitmap contents");
  const std::size_t stride = (static_cast<std::size_t>(width) + 3) / 4 * 4;
  const std::size_t offset = 14 + 40 + 4 * palette.size();
  const std::size_t imageSize = stride * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> b(offset + imageSize, 0);
  const auto put16 = [&](std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  const auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, static_cast<std::uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  put16(26, 1);
  put16(28, 8);
  put32(30, 0);  // no compression
  put32(34, static_cast<std::uint32_t>(imageSize));
  put32(38, 2835);  // 72 dots per inch
  put32(42, 2835);
  put32(46, 64);
  put32(50, 64);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    b[54 + 4 * i] = static_cast<std::uint8_t>(palette[i].b);
    b[54 + 4 * i + 1] = static_cast<std::uint8_t>(palette[i].g);
    b[54 + 4 * i + 2] = static_cast<std::uint8_t>(palette[i].r);
  }
  for (std::int32_t y = 0; y < height; ++y) {
    const std::size_t row = offset + static_cast<std::size_t>(height - 1 - y) * stride;
    for (std::int32_t x = 0; x < width; ++x)
      b[row + static_cast<std::size_t>(x)] = indices[static_cast<std::size_t>(y) * width + x];
  }
  return b;
}

std::vector<std::uint8_t> MakeSpriteSheet() {
  // Background white above, mask black below.
  std::vector<std::uint8_t> sheet(static_cast<std::size_t>(SheetWidth) * SheetHeight, ink::White);
  for (std::size_t i = static_cast<std::size_t>(MaskRowOffset) * SheetWidth; i < sheet.size(); ++i)
    sheet[i] = ink::Black;
  for (int kind = 0; kind < KindCount; ++kind) {
    for (int column = 0; column < 3; ++column) {
      const TSheetRect r = FrameSourceRect(kind, column);
      Canvas canvas(r.Width, r.Height);
      DrawFigure(canvas, kind, column);
      // Figure pixels never take pure black; the art half must not contain it.
      const Resolved frame = canvas.Resolve(Palette(), 0, 62);
      for (std::int32_t y = 0; y < r.Height; ++y) {
        for (std::int32_t x = 0; x < r.Width; ++x) {
          const std::size_t from = static_cast<std::size_t>(y) * r.Width + x;
          const std::size_t to = static_cast<std::size_t>(r.Top + y) * SheetWidth + (r.Left + x);
          sheet[to] = frame.Index[from];
          sheet[to + static_cast<std::size_t>(MaskRowOffset) * SheetWidth] = frame.Mask[from] ? ink::White : ink::Black;
        }
      }
    }
  }
  return EncodeBitmap(SheetWidth, SheetHeight, sheet, Palette());
}

}  // namespace quillfen::art
