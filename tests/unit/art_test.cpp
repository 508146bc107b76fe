// The committed art: drawn by our generator, in the format and layout the
// program relies on.
#include "tools/art/art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "anim/bitmap.h"
#include "anim/sprites.h"
#include "res/embedded_art.h"

using namespace quillfen;

namespace {

constexpr const char* Redraw = "redraw with `cmake --build --preset debug --target art` and commit res/";

// Palette indices of an 8-bit bottom-up bitmap, rows top-down.
std::vector<std::uint8_t> Indices(std::span<const std::uint8_t> file, std::int32_t w, std::int32_t h) {
  const std::size_t offset = file[10] | file[11] << 8 | file[12] << 16 | static_cast<std::size_t>(file[13]) << 24;
  const std::size_t stride = (static_cast<std::size_t>(w) + 3) / 4 * 4;
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint8_t* row = file.data() + offset + static_cast<std::size_t>(h - 1 - y) * stride;
    out.insert(out.end(), row, row + w);
  }
  return out;
}

void ExpectFormat(std::span<const std::uint8_t> file, std::int32_t w, std::int32_t h) {
  ASSERT_GE(file.size(), 54u + 256u);
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16) |
           static_cast<std::uint32_t>(file[at + 3]) << 24;
  };
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(static_cast<std::int32_t>(u32(18)), w);
  EXPECT_EQ(static_cast<std::int32_t>(u32(22)), h) << "rows must be stored bottom-up";
  EXPECT_EQ(file[28], 8) << "bits per pixel";
  EXPECT_EQ(u32(30), 0u) << "compression";
  EXPECT_EQ(u32(46), 64u) << "palette entries";
  const TDecodedBitmap decoded = DecodeBitmap(file, w, h);
  EXPECT_TRUE(decoded.Ok()) << decoded.Error;
}

TEST(Art, CommittedFilesAreWhatTheGeneratorDraws) {
  const std::vector<std::uint8_t> sheet = art::MakeSpriteSheet();
  const auto committedSheet = SpriteSheetBitmap();
  EXPECT_TRUE(std::equal(sheet.begin(), sheet.end(), committedSheet.begin(), committedSheet.end()))
      << "res/sheet.bmp differs from the generator's drawing: " << Redraw;
  const std::vector<std::uint8_t> dialog = art::MakeDialogPicture();
  const auto committedDialog = DialogPictureBitmap();
  EXPECT_TRUE(std::equal(dialog.begin(), dialog.end(), committedDialog.begin(), committedDialog.end()))
      << "res/dialog.bmp differs from the generator's drawing: " << Redraw;
}

TEST(Art, BitmapFormats) {
  ExpectFormat(SpriteSheetBitmap(), SheetWidth, SheetHeight);
  ExpectFormat(DialogPictureBitmap(), 168, 214);
  const auto sheet = SpriteSheetBitmap();
  // Entry 0 pure white, entry 63 pure black (blue, green, red, reserved).
  EXPECT_EQ(std::vector<int>(sheet.begin() + 54, sheet.begin() + 57), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(std::vector<int>(sheet.begin() + 54 + 4 * 63, sheet.begin() + 57 + 4 * 63), (std::vector<int>{0, 0, 0}));
}

TEST(Art, SheetHalvesFollowTheLayout) {
  const std::vector<std::uint8_t> px = Indices(SpriteSheetBitmap(), SheetWidth, SheetHeight);
  const auto at = [&](std::int32_t x, std::int32_t y) { return px[static_cast<std::size_t>(y) * SheetWidth + x]; };
  std::vector<bool> inFrame(static_cast<std::size_t>(SheetWidth) * MaskRowOffset, false);
  for (int k = 0; k < KindCount; ++k) {
    for (int col = 0; col < 3; ++col) {
      const TSheetRect r = FrameSourceRect(k, col);
      for (std::int32_t y = r.Top; y < r.Top + r.Height; ++y) {
        for (std::int32_t x = r.Left; x < r.Left + r.Width; ++x)
          inFrame[static_cast<std::size_t>(y) * SheetWidth + x] = true;
      }
    }
  }
  // Rows 0..360 and, 361 rows lower, their masks (the last row, 721, has none).
  for (std::int32_t y = 0; y < MaskRowOffset; ++y) {
    for (std::int32_t x = 0; x < SheetWidth; ++x) {
      const std::uint8_t s = at(x, y), m = at(x, y + MaskRowOffset);
      ASSERT_NE(s, 63) << "pure black in the art half at " << x << ", " << y;
      ASSERT_TRUE(m == 0 || m == 63) << "mask " << x << ", " << y;
      if (inFrame[static_cast<std::size_t>(y) * SheetWidth + x]) continue;
      ASSERT_EQ(s, 0) << "art outside every frame at " << x << ", " << y;
      ASSERT_EQ(m, 63) << "mask outside every frame at " << x << ", " << y;
    }
  }
  for (std::int32_t x = 0; x < SheetWidth; ++x) EXPECT_EQ(at(x, SheetHeight - 1), 63) << "row 721 belongs to no mask";
}

TEST(Art, EveryFrameIsAFullFigureWithUnmaskedEdgesAndDetails) {
  const std::vector<std::uint8_t> px = Indices(SpriteSheetBitmap(), SheetWidth, SheetHeight);
  const auto at = [&](std::int32_t x, std::int32_t y) { return px[static_cast<std::size_t>(y) * SheetWidth + x]; };
  for (int k = 0; k < KindCount; ++k) {
    std::vector<std::uint8_t> poses[3];
    std::int32_t unionLeft = KindWidth(k), unionRight = 0, unionTop = KindHeight(k), unionBottom = 0;
    for (int col = 0; col < 3; ++col) {
      SCOPED_TRACE(::testing::Message() << "kind " << k << " column " << col);
      const TSheetRect r = FrameSourceRect(k, col);
      std::int32_t left = r.Width, right = 0, top = r.Height, bottom = 0;
      long masked = 0, printedByAnd = 0;
      for (std::int32_t j = 0; j < r.Height; ++j) {
        for (std::int32_t i = 0; i < r.Width; ++i) {
          const std::uint8_t s = at(r.Left + i, r.Top + j);
          const bool white = at(r.Left + i, r.Top + j + MaskRowOffset) == 0;
          poses[col].push_back(s);
          if (white) {
            ++masked;
            left = std::min(left, i);
            right = std::max(right, i + 1);
            top = std::min(top, j);
            bottom = std::max(bottom, j + 1);
          } else if (s != 0) {
            ++printedByAnd;
          }
        }
      }
      // Sized to fill the rectangle: tall in every pose, wide across the cycle.
      EXPECT_GE(bottom - top, r.Height * 85 / 100);
      EXPECT_GE(right - left, r.Width * 55 / 100);
      EXPECT_GE(masked, static_cast<long>(r.Width) * r.Height / 5);
      unionLeft = std::min(unionLeft, left);
      unionRight = std::max(unionRight, right);
      unionTop = std::min(unionTop, top);
      unionBottom = std::max(unionBottom, bottom);
      // Light edges and detached details outside the mask.
      EXPECT_GE(printedByAnd, 100);
    }
    EXPECT_GE(unionRight - unionLeft, KindWidth(k) * 85 / 100) << "kind " << k;
    EXPECT_GE(unionBottom - unionTop, KindHeight(k) * 90 / 100) << "kind " << k;
    EXPECT_NE(poses[0], poses[1]) << "kind " << k;
    EXPECT_NE(poses[1], poses[2]) << "kind " << k;
    EXPECT_NE(poses[0], poses[2]) << "kind " << k;
  }
}

}  // namespace
