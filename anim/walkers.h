// The walker table, its generator and its motion.
#pragma once

#include <algorithm>
#include <cstdint>

#include "anim/sprites.h"

namespace quillfen {

inline constexpr std::int32_t MaxWalkers = 1000;
inline constexpr std::int32_t SmallFieldWidth = 512;

struct TWalkers {
  std::int8_t Kind[MaxWalkers];
  std::int8_t Frame[MaxWalkers];
  std::int32_t X[MaxWalkers];
  std::int32_t Y[MaxWalkers];
  std::int32_t DX[MaxWalkers];
  std::int32_t DY[MaxWalkers];
};

// The whole animation model: table, field size and generator. The program
// owns one; every test makes its own.
struct WalkerField {
  TWalkers Walkers{};
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::uint32_t RandomState = 0;

  void SeedRandom(std::uint32_t seed) noexcept { RandomState = seed; }

  std::int32_t NextRandom() noexcept {
    RandomState = RandomState * 22695477u + 1u;
    return static_cast<std::int32_t>((RandomState >> 16) & 0x7FFFu);
  }

  // Fills all MaxWalkers entries for the current field size, six draws each.
  void SeedWalkers() noexcept;

  // One tick for walkers 0 .. count-1 (at most MaxWalkers). `drawWalker(kind,
  // frame, x, y)` is called for each walker still in the field after its move.
  template <typename Draw>
  void StepWalkers(std::int32_t walkerCount, Draw&& drawWalker) noexcept(noexcept(drawWalker(0, 0, 0, 0)));

 private:
  std::int32_t DrawKind() noexcept { return NextRandom() % KindCount; }
};

// The model part of the saver window's start-up: field size, seed, table.
void StartField(WalkerField& field, std::int32_t width, std::int32_t height, std::uint32_t seed) noexcept;

// A narrow field runs one walker whatever the setting.
constexpr std::int32_t ApplySmallFieldRule(std::int32_t walkerCount, std::int32_t screenWidth) noexcept {
  return screenWidth < SmallFieldWidth ? 1 : walkerCount;
}

template <typename Draw>
void WalkerField::StepWalkers(std::int32_t walkerCount,
                              Draw&& drawWalker) noexcept(noexcept(drawWalker(0, 0, 0, 0))) {
  const std::int32_t n = std::min(walkerCount, MaxWalkers);
  TWalkers& t = Walkers;
  for (std::int32_t i = 0; i < n; ++i) {
    const int k = t.Kind[i];
    const std::int32_t w = KindWidth(k);
    const std::int32_t h = KindHeight(k);
    std::int32_t x = t.X[i] + 2 * t.DX[i];
    std::int32_t y = t.Y[i] + 2 * t.DY[i];
    if (x < -w) {
      x = ScreenWidth;
      t.Kind[i] = static_cast<std::int8_t>(DrawKind());
    } else if (x > ScreenWidth) {
      const int k2 = DrawKind();
      t.Kind[i] = static_cast<std::int8_t>(k2);
      x = SheetScale(-SpriteKinds.Width[k2]);
    } else if (y < -h) {
      y = ScreenHeight;
      t.Kind[i] = static_cast<std::int8_t>(DrawKind());
    } else if (y > ScreenHeight) {
      const int k2 = DrawKind();
      t.Kind[i] = static_cast<std::int8_t>(k2);
      y = SheetScale(-SpriteKinds.Height[k2]);
    } else {
      drawWalker(k, static_cast<int>(t.Frame[i]), x, y);
    }
    t.Frame[i] = static_cast<std::int8_t>((t.Frame[i] + 1) & 3);
    t.X[i] = x;
    t.Y[i] = y;
  }
}

}  // namespace quillfen
