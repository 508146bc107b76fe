// The program's own art, drawn from code: the sprite sheet and the setup
// dialog's picture, as complete .bmp files.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/art/raster.h"

namespace quillfen::art {

// 64 entries: 0 pure white, 63 pure black, 1..62 the colours of the art.
const std::vector<Colour>& Palette();

// Named entries of the palette, for drawing.
namespace ink {
inline constexpr int Ink = 1, Grey2 = 2, Grey3 = 3, Grey4 = 4, Grey5 = 5, Grey6 = 6, Grey7 = 7, Grey8 = 8;
inline constexpr int SkinLight = 9, Skin = 10, SkinShade = 11, SkinDark = 12;
inline constexpr int BrownDark = 13, Brown = 14, BrownMid = 15, BrownLight = 16;
inline constexpr int BlueDark = 17, Blue = 18, BlueMid = 19, BlueLight = 20, BlueTint = 21;
inline constexpr int RedDark = 22, Red = 23, RedMid = 24, RedLight = 25, RedTint = 26;
inline constexpr int GreenDark = 27, Green = 28, GreenMid = 29, GreenLight = 30, GreenTint = 31;
inline constexpr int FoxDark = 32, Fox = 33, FoxMid = 34, FoxLight = 35, FoxTint = 36;
inline constexpr int GoldDark = 37, Gold = 38, GoldMid = 39, GoldLight = 40;
inline constexpr int SlateDark = 41, Slate = 42, SlateMid = 43, SlateLight = 44, SlateTint = 45;
inline constexpr int StoneDark = 46, Stone = 47, StoneMid = 48, StoneLight = 49, StoneTint = 50;
inline constexpr int TealDark = 51, Teal = 52, TealMid = 53, TealLight = 54, TealTint = 55;
inline constexpr int Plum = 56, PlumMid = 57, Pink = 58, PinkLight = 59;
inline constexpr int Cream = 60, Sky = 61, Navy = 62;
inline constexpr int White = 0, Black = 63;
}  // namespace ink

inline Colour C(int index) {
  return Palette()[static_cast<std::size_t>(index)];
}

// One pose (sheet column 0, 1 or 2) of a kind, drawn onto `canvas` in the
// kind's frame coordinates (KindWidth x KindHeight).
void DrawFigure(Canvas& canvas, int kind, int column);

// 675 x 722, frames above, masks 361 rows lower.
std::vector<std::uint8_t> MakeSpriteSheet();
// 168 x 214.
std::vector<std::uint8_t> MakeDialogPicture();

// An uncompressed 8-bit bitmap file with a 64-entry palette, rows bottom-up;
// `indices` top-down, width x height.
std::vector<std::uint8_t> EncodeBitmap(std::int32_t width, std::int32_t height,
                                       const std::vector<std::uint8_t>& indices, const std::vector<Colour>& palette);

}  // namespace quillfen::art
