// The setup dialog's picture: a heron wading in the fen under the moon.
#include "tools/art/art.h"

namespace quillfen::art {

namespace {
using namespace ink;
constexpr std::int32_t Width = 168, Height = 214;
constexpr double Horizon = 126;

// Fills a band of rows with `a`, and its last `blend` rows with a
// checkerboard of `a` and `b` that softens the step to the next band.
void Band(Canvas& c, double top, double bottom, int a, int b, int blend) {
  c.Fill(Polygon({{0, top}, {Width, top}, {Width, bottom}, {0, bottom}}), C(a));
  for (int y = static_cast<int>(bottom) - blend; y < static_cast<int>(bottom); ++y)
    for (int x = (y & 1); x < Width; x += 2)
      c.Fill(Polygon({{x + 0.0, y + 0.0}, {x + 1.0, y + 0.0}, {x + 1.0, y + 1.0}, {x + 0.0, y + 1.0}}), C(b));
}

void Reed(Canvas& c, Vec foot, Vec tip, double lean, bool head) {
  const Vec mid{(foot.x + tip.x) / 2 + lean, (foot.y + tip.y) / 2};
  c.Fill(Stroke(Curve(foot, mid, tip, 8), 1.3, 0.4), C(GreenDark));
  if (head)
    c.Part(Ellipse(Vec{mid.x * 0.25 + tip.x * 0.75, mid.y * 0.25 + tip.y * 0.75}, 2.2, 6, lean * 2), C(Brown),
           C(BrownDark), 0.6);
}
}  // namespace

std::vector<std::uint8_t> MakeDialogPicture() {
  Canvas c(Width, Height);
  // Dusk sky, darkest at the top.
  const int sky[] = {Navy, BlueDark, Plum, PlumMid, Pink, RedLight, FoxLight, Cream};
  const double step = Horizon / 8;
  for (int i = 0; i < 8; ++i)
    Band(c, i * step, (i + 1) * step + 0.01, sky[i], i < 7 ? sky[i + 1] : sky[i], i < 7 ? 3 : 0);
  const Vec stars[] = {{14, 10}, {40, 22}, {70, 8}, {96, 28}, {150, 12}, {24, 40}, {58, 36}, {138, 58}, {8, 62}};
  for (const Vec& s : stars) c.Fill(Circle(s, 0.8), C(Cream));
  c.Fill(Circle({116, 46}, 17), C(Cream));
  c.Fill(Circle({110, 42}, 3), C(GoldLight));
  c.Fill(Circle({122, 54}, 2.2), C(GoldLight));
  c.Fill(Circle({121, 38}, 1.6), C(GoldLight));

  // Far hills and the water.
  c.Fill(Polygon(
             {{0, 112}, {30, 104}, {62, 110}, {96, 100}, {134, 108}, {168, 102}, {168, Horizon + 1}, {0, Horizon + 1}}),
         C(SlateDark));
  c.Fill(Polygon({{0, 120}, {40, 115}, {90, 121}, {130, 116}, {168, 119}, {168, Horizon + 1}, {0, Horizon + 1}}),
         C(Navy));
  Band(c, Horizon, 170, BlueDark, Blue, 2);
  Band(c, 170, Height, Blue, BlueDark, 0);
  for (int i = 0; i < 9; ++i) {
    const double y = Horizon + 6 + 7.0 * i, half = 14 - i * 1.2;
    c.Fill(Capsule({116 - half, y}, {116 + half, y}, 0.9), C(i % 2 ? GoldLight : Cream));
  }
  for (int i = 0; i < 7; ++i)
    c.Fill(Capsule({10.0 + 21 * i, 150.0 + (i % 3) * 17}, {20.0 + 21 * i, 150.0 + (i % 3) * 17}, 0.6), C(BlueMid));

  // The heron, knee deep, and its ripple.
  c.Place({44, 78}, 1.15);
  DrawFigure(c, 1, 1);
  c.Place({0, 0}, 1);
  // Water over its feet, a ripple round the legs.
  c.Fill(Polygon({{0, 197}, {Width, 197}, {Width, Height}, {0, Height}}), C(Blue));
  c.Fill(Ellipse({76, 197}, 24, 3.2), C(BlueMid));
  c.Fill(Ellipse({76, 197}, 17, 1.8), C(Blue));

  // Reeds in front at both sides.
  const struct {
    double x, height, lean;
    bool head;
  } reeds[] = {{4, 120, -4, true},  {10, 92, 3, false},  {16, 106, 5, true},   {22, 70, -2, false},
               {140, 84, -5, true}, {148, 110, 4, true}, {156, 74, -3, false}, {163, 98, 2, true}};
  for (const auto& r : reeds) Reed(c, {r.x, Height + 2.0}, {r.x + r.lean, Height - r.height}, r.lean, r.head);

  const Resolved picture = c.ResolveOpaque(Palette(), C(White), 0, 63);
  return EncodeBitmap(Width, Height, picture.Index, Palette());
}

}  // namespace quillfen::art
