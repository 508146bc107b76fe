#include "anim/sprites.h"

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

TEST(SheetScale, TruncatesTowardZero) {
  const struct {
    std::int32_t in, out;
  } cases[] = {{158, 118}, {101, 75}, {259, 194}, {154, 115}, {116, 87}, {0, 0},    {1, 0},
               {-1, 0},    {-150, -112}, {-101, -75}, {-4, -3}, {300, 225}, {222, 166}};
  for (const auto& c : cases) EXPECT_EQ(SheetScale(c.in), c.out) << c.in;
  for (std::int32_t v = -2000; v <= 2000; ++v) ASSERT_EQ(SheetScale(-v), -SheetScale(v)) << v;
}

TEST(SpriteKinds, PixelGeometryOfEveryKind) {
  const struct {
    std::int32_t w, h, col0, col1, col2, top;
  } geometry[KindCount] = {
      {75, 118, 0, 75, 150, 0},   {60, 115, 270, 330, 390, 0}, {75, 100, 450, 525, 600, 0},
      {112, 75, 0, 112, 224, 118}, {75, 87, 450, 525, 600, 100}, {225, 166, 0, 225, 450, 194},
  };
  for (int k = 0; k < KindCount; ++k) {
    SCOPED_TRACE(k);
    const auto& g = geometry[k];
    EXPECT_EQ(KindWidth(k), g.w);
    EXPECT_EQ(KindHeight(k), g.h);
    const std::int32_t cols[4] = {g.col0, g.col1, g.col2, g.col1};
    for (int f = 0; f < 4; ++f) {
      EXPECT_EQ(FrameSourceRect(k, f), (TSheetRect{cols[f], g.top, g.w, g.h}));
      EXPECT_EQ(MaskSourceRect(k, f), (TSheetRect{cols[f], g.top + 361, g.w, g.h}));
    }
    EXPECT_EQ(FrameSourceRect(k, 1), FrameSourceRect(k, 3));
  }
}

TEST(SpriteKinds, RectanglesStayOnTheSheetAndNeverOverlap) {
  EXPECT_EQ(FrameSourceRect(5, 2), (TSheetRect{450, 194, 225, 166}));
  EXPECT_EQ(MaskSourceRect(5, 2).Top + MaskSourceRect(5, 2).Height - 1, 720);
  EXPECT_EQ(FrameSourceRect(3, 0).Top, 118);
  TSheetRect all[KindCount * 3];
  for (int k = 0; k < KindCount; ++k)
    for (int col = 0; col < 3; ++col) all[k * 3 + col] = FrameSourceRect(k, col == 0 ? 0 : col == 1 ? 1 : 2);
  for (const auto& r : all) {
    EXPECT_GE(r.Left, 0);
    EXPECT_LE(r.Left + r.Width, SheetWidth);
    EXPECT_LE(r.Top + r.Height, MaskRowOffset);  // frames stay in the art half
  }
  for (int a = 0; a < KindCount * 3; ++a)
    for (int b = a + 1; b < KindCount * 3; ++b) {
      const auto& p = all[a];
      const auto& q = all[b];
      const bool apart = p.Left + p.Width <= q.Left || q.Left + q.Width <= p.Left || p.Top + p.Height <= q.Top ||
                         q.Top + q.Height <= p.Top;
      EXPECT_TRUE(apart) << a << " overlaps " << b;
    }
}

}  // namespace
