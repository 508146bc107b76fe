// The composition done literally: per walker, one transfer of its whole mask
// rectangle with OR, then one of its frame rectangle with AND, pixel by pixel
// with a bounds test on each. Slow on purpose; the fast compositor must match
// it bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "anim/bitmap.h"
#include "anim/compositor.h"
#include "anim/sprites.h"
#include "anim/walkers.h"

namespace quillfen::testing {

struct TTwoPassReference {
  const TImage* Sheet;
  std::int32_t Width, Height;
  std::vector<std::uint32_t> Surface;

  TTwoPassReference(const TImage& sheet, std::int32_t width, std::int32_t height)
      : Sheet(&sheet), Width(width), Height(height), Surface(static_cast<std::size_t>(width) * height, WhitePixel) {}

  // One raster operation over a source rectangle of the sheet, placed at (x, y).
  template <typename Op>
  void Transfer(const TSheetRect& src, std::int32_t x, std::int32_t y, Op op) {
    for (std::int32_t j = 0; j < src.Height; ++j) {
      for (std::int32_t i = 0; i < src.Width; ++i) {
        const std::int64_t dx = std::int64_t{x} + i, dy = std::int64_t{y} + j;
        if (dx < 0 || dy < 0 || dx >= Width || dy >= Height) continue;
        std::uint32_t& d = Surface[static_cast<std::size_t>(dy) * Width + static_cast<std::size_t>(dx)];
        d = op(d, Sheet->At(src.Left + i, src.Top + j));
      }
    }
  }

  void DrawWalker(int kind, int frame, std::int32_t x, std::int32_t y) {
    // Channel by channel OR, then AND, is the same as on the packed pixel.
    Transfer(MaskSourceRect(kind, frame), x, y, [](std::uint32_t d, std::uint32_t m) { return d | m; });
    Transfer(FrameSourceRect(kind, frame), x, y, [](std::uint32_t d, std::uint32_t s) { return d & s; });
  }

  void ComposeFrame(WalkerField& field, std::int32_t walkerCount) {
    for (auto& p : Surface) p = WhitePixel;
    field.StepWalkers(walkerCount, [this](int k, int f, std::int32_t x, std::int32_t y) { DrawWalker(k, f, x, y); });
  }
};

}  // namespace quillfen::testing
