#include "anim/walkers.h"

namespace quillfen {

void WalkerField::SeedWalkers() noexcept {
  // A field of no width or height would divide by zero; seed it as 1.
  const std::int32_t w = std::max<std::int32_t>(ScreenWidth, 1);
  const std::int32_t h = std::max<std::int32_t>(ScreenHeight, 1);
  TWalkers& t = Walkers;
  for (std::int32_t i = 0; i < MaxWalkers; ++i) {
    t.Kind[i] = static_cast<std::int8_t>(NextRandom() % KindCount);
    t.X[i] = NextRandom() % w;
    t.Y[i] = NextRandom() % h;
    const std::int32_t e = NextRandom() % 15;
    t.DX[i] = e == 7 ? 1 : e - 7;
    t.DY[i] = NextRandom() % 5 - 2;
    t.Frame[i] = static_cast<std::int8_t>(NextRandom() % 4);
  }
}

void StartField(WalkerField& field, std::int32_t width, std::int32_t height, std::uint32_t seed) noexcept {
  field.ScreenWidth = width;
  field.ScreenHeight = height;
  field.SeedRandom(seed);
  field.SeedWalkers();
}

}  // namespace quillfen
