// Where each sprite kind's frames and masks lie on the sheet.
#pragma once

#include <array>
#include <cstdint>

namespace quillfen {

inline constexpr int KindCount = 6;
inline constexpr std::int32_t SheetWidth = 675;
inline constexpr std::int32_t SheetHeight = 722;

// Sheet units: one unit is three quarters of a pixel.
struct TSpriteKinds {
  std::array<std::int32_t, KindCount> SrcX;
  std::array<std::int32_t, KindCount> SrcY;
  std::array<std::int32_t, KindCount> Width;
  std::array<std::int32_t, KindCount> Height;
};

inline constexpr TSpriteKinds SpriteKinds{
    {0, 360, 600, 0, 600, 0},
    {0, 0, 0, 158, 134, 259},
    {100, 80, 100, 150, 100, 300},
    {158, 154, 134, 101, 116, 222},
};

// Animation frame f shows sheet column FrameColumns[f].
inline constexpr std::array<std::int32_t, 4> FrameColumns{0, 1, 2, 1};

// Rows, in pixels, between a frame and its mask.
inline constexpr std::int32_t MaskRowOffset = 361;

// 3v/4 truncated toward zero, in 32-bit arithmetic.
constexpr std::int32_t SheetScale(std::int32_t v) noexcept {
  std::int32_t p = static_cast<std::int32_t>(3u * static_cast<std::uint32_t>(v));
  if (p < 0) p += 3;
  return p >> 2;
}

constexpr std::int32_t KindWidth(int kind) noexcept { return SheetScale(SpriteKinds.Width[kind]); }
constexpr std::int32_t KindHeight(int kind) noexcept { return SheetScale(SpriteKinds.Height[kind]); }

struct TSheetRect {
  std::int32_t Left, Top, Width, Height;
  friend constexpr bool operator==(const TSheetRect&, const TSheetRect&) = default;
};

constexpr TSheetRect FrameSourceRect(int kind, int frame) noexcept {
  const std::int32_t w = KindWidth(kind);
  return {SheetScale(SpriteKinds.SrcX[kind]) + FrameColumns[frame] * w, SheetScale(SpriteKinds.SrcY[kind]),
          w, KindHeight(kind)};
}

constexpr TSheetRect MaskSourceRect(int kind, int frame) noexcept {
  TSheetRect r = FrameSourceRect(kind, frame);
  r.Top += MaskRowOffset;
  return r;
}

}  // namespace quillfen
