#include "anim/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace quillfen;

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// An 8-bit bitmap of w x h with a palette of `colours` entries, entry i being
// 0x00RRGGBB = i * 0x010203, and pixel (x, y) (counted from the top) holding
// index (x + 2y) % colours.
std::vector<std::uint8_t> MakeBitmap(std::int32_t w, std::int32_t h, std::uint32_t colours, bool topDown = false) {
  const std::size_t stride = (static_cast<std::size_t>(w) + 3) / 4 * 4;
  const std::size_t offset = 14 + 40 + 4 * colours;
  std::vector<std::uint8_t> b(offset + stride * static_cast<std::size_t>(h), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, static_cast<std::uint32_t>(offset));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(w));
  Put32(b, 22, static_cast<std::uint32_t>(topDown ? -h : h));
  Put16(b, 26, 1);
  Put16(b, 28, 8);
  Put32(b, 46, colours);
  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::uint32_t c = i * 0x010203u;
    b[54 + 4 * i] = static_cast<std::uint8_t>(c);
    b[54 + 4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
    b[54 + 4 * i + 2] = static_cast<std::uint8_t>(c >> 16);
  }
  for (std::int32_t y = 0; y < h; ++y) {
    const std::size_t fileRow = topDown ? static_cast<std::size_t>(y) : static_cast<std::size_t>(h - 1 - y);
    for (std::int32_t x = 0; x < w; ++x)
      b[offset + fileRow * stride + static_cast<std::size_t>(x)] =
          static_cast<std::uint8_t>(static_cast<std::uint32_t>(x + 2 * y) % colours);
  }
  return b;
}

void ExpectPattern(const TImage& img, std::uint32_t colours) {
  for (std::int32_t y = 0; y < img.Height; ++y)
    for (std::int32_t x = 0; x < img.Width; ++x)
      ASSERT_EQ(img.At(x, y), (static_cast<std::uint32_t>(x + 2 * y) % colours) * 0x010203u) << x << ", " << y;
}

TEST(DecodeBitmap, ReadsRowsInEitherOrderWithPadding) {
  for (bool topDown : {false, true}) {
    for (std::int32_t w : {1, 3, 4, 5, 675}) {
      SCOPED_TRACE(::testing::Message() << "w " << w << " top-down " << topDown);
      const auto file = MakeBitmap(w, 7, 64, topDown);
      const TDecodedBitmap r = DecodeBitmap(file, w, 7);
      ASSERT_TRUE(r.Ok()) << r.Error;
      EXPECT_EQ(r.Image.Width, w);
      EXPECT_EQ(r.Image.Height, 7);
      ExpectPattern(r.Image, 64);
    }
  }
  // Palette size 0 means 256 entries.
  auto file = MakeBitmap(9, 9, 256);
  Put32(file, 46, 0);
  const TDecodedBitmap r = DecodeBitmap(file, 9, 9);
  ASSERT_TRUE(r.Ok()) << r.Error;
  ExpectPattern(r.Image, 256);
}

TEST(DecodeBitmap, RejectsMalformedFilesWithAClearReason) {
  const struct {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
    std::string reason;
  } cases[] = {
      {"empty", [](auto& b) { b.clear(); }, "truncated header"},
      {"cut in the header", [](auto& b) { b.resize(30); }, "truncated header"},
      {"cut in the palette", [](auto& b) { b.resize(54 + 100); }, "truncated palette"},
      {"cut in the pixels", [](auto& b) { b.pop_back(); }, "truncated pixel data"},
      {"signature", [](auto& b) { b[0] = 'X'; }, "not a bitmap"},
      {"24 bits", [](auto& b) { Put16(b, 28, 24); }, "wrong depth"},
      {"4 bits", [](auto& b) { Put16(b, 28, 4); }, "wrong depth"},
      {"run-length compressed", [](auto& b) { Put32(b, 30, 1); }, "compressed"},
      {"planes", [](auto& b) { Put16(b, 26, 2); }, "plane"},
      {"old core header", [](auto& b) { Put32(b, 14, 12); }, "header size"},
      {"wider", [](auto& b) { Put32(b, 18, 11); }, "wrong size 11x8, expected 10x8"},
      {"higher", [](auto& b) { Put32(b, 22, 9); }, "wrong size 10x9"},
      {"most negative height", [](auto& b) { Put32(b, 22, 0x80000000u); }, "bad height"},
      {"palette too big", [](auto& b) { Put32(b, 46, 257); }, "palette size"},
      {"pixel offset past the end", [](auto& b) { Put32(b, 10, 0xFFFFFFF0u); }, "truncated pixel data"},
      {"pixels over the palette", [](auto& b) { Put32(b, 10, 60); }, "overlaps the palette"},
      {"index beyond the palette", [](auto& b) { b[54 + 4 * 64 + 3] = 64; }, "bad palette index 64"},
      {"last index beyond", [](auto& b) { b[b.size() - 3] = 200; }, "bad palette index 200"},
  };
  for (const auto& c : cases) {
    auto file = MakeBitmap(10, 8, 64);
    c.spoil(file);
    const TDecodedBitmap r = DecodeBitmap(file, 10, 8);
    EXPECT_FALSE(r.Ok()) << c.what;
    EXPECT_NE(r.Error.find(c.reason), std::string::npos) << c.what << ": " << r.Error;
    EXPECT_TRUE(r.Image.Pixels.empty()) << c.what;
  }
}

}  // namespace
