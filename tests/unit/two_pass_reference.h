// The composition done literally: per walker, one transfer of its whole mask
// rectangle with OR, then one of its frame rectangle with AND, pixel by pixel
// with a bounds test on each. Slow on purpose; the fast compositor must match
// it bit for bit.
#pragma once

#include <algorithm>
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

  // One raster operation over a source rectangle of the sheet placed at
  // (x, y), every destination pixel of it that lies on the surface.
  template <typename Op>
  void Transfer(const TSheetRect& src, std::int32_t x, std::int32_t y, Op op) {
    const std::int64_t i0 = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t i1 = std::min<std::int64_t>(src.Width, std::int64_t{Width} - x);
    const std::int64_t j0 = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t j1 = std::min<std::int64_t>(src.Height, std::int64_t{Height} - y);
    for (std::int64_t j = j0; j < j1; ++j) {
      std::uint32_t* d = Surface.data() + static_cast<std::size_t>(y + j) * static_cast<std::size_t>(Width) + x;
      const std::uint32_t* s = Sheet->Pixels.data() +
                               static_cast<std::size_t>(src.Top + j) * static_cast<std::size_t>(Sheet->Width) +
                               src.Left;
      for (std::int64_t i = i0; i < i1; ++i) d[i] = op(d[i], s[i]);
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
