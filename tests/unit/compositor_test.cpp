#include "anim/compositor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <stdexcept>

#include "res/embedded_art.h"
#include "unit/two_pass_reference.h"

using namespace quillfen;
using quillfen::testing::TTwoPassReference;

// Counts heap allocations so a test can prove that a frame makes none.
namespace {
std::atomic<long> allocations{0};
}
// The replacements pair malloc with free, as the library's own do.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
  ++allocations;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// A sheet whose masks are random black and white and whose frames mix white
// with random colours, so that every case of the transfers occurs often. The
// frames of kind 2 column 1 are left empty (white frame, black mask).
TImage RandomSheet(std::uint32_t seed) {
  std::mt19937 rng(seed);
  TImage sheet;
  sheet.Width = SheetWidth;
  sheet.Height = SheetHeight;
  sheet.Pixels.assign(static_cast<std::size_t>(SheetWidth) * SheetHeight, WhitePixel);
  for (std::int32_t y = MaskRowOffset; y < SheetHeight; ++y)
    for (std::int32_t x = 0; x < SheetWidth; ++x) sheet.Pixels[static_cast<std::size_t>(y) * SheetWidth + x] = 0;
  for (int k = 0; k < KindCount; ++k) {
    for (int col = 0; col < 3; ++col) {
      if (k == 2 && col == 1) continue;
      const TSheetRect r = FrameSourceRect(k, col);
      for (std::int32_t j = 0; j < r.Height; ++j) {
        const bool blankRow = rng() % 9 == 0;
        // Masks in runs, some long enough to hide whole stretches of what
        // lies below; frames mixing white and random colours.
        bool white = false;
        std::uint32_t run = 0;
        for (std::int32_t i = 0; i < r.Width; ++i) {
          const std::size_t at = static_cast<std::size_t>(r.Top + j) * SheetWidth + (r.Left + i);
          const std::size_t maskAt = at + static_cast<std::size_t>(MaskRowOffset) * SheetWidth;
          if (blankRow) continue;
          if (run == 0) {
            white = !white;
            run = 1 + rng() % (white ? 70 : 12);
          }
          --run;
          sheet.Pixels[maskAt] = white ? WhitePixel : 0;
          sheet.Pixels[at] = rng() % 3 == 0 ? WhitePixel : (rng() & 0x00FFFFFFu);
        }
      }
    }
  }
  return sheet;
}

// Seeds a field, then scatters the walkers over a band reaching a sprite's
// size past every edge, so that many are cut at the left, top, right and bottom.
std::unique_ptr<WalkerField> ScatteredField(std::int32_t w, std::int32_t h, std::uint32_t seed) {
  auto field = std::make_unique<WalkerField>();
  StartField(*field, w, h, seed);
  std::mt19937 rng(seed * 7919u + 1u);
  for (int i = 0; i < MaxWalkers; ++i) {
    field->Walkers.X[i] = static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(w + 500)) - 250;
    field->Walkers.Y[i] = static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(h + 400)) - 200;
  }
  return field;
}

std::uint32_t Pixel(const TCompositor& c, std::int32_t x, std::int32_t y) {
  return c.Pixels()[static_cast<std::size_t>(y) * c.Width() + x];
}

bool InDamage(std::span<const TRect> damage, std::int32_t x, std::int32_t y) {
  for (const TRect& r : damage)
    if (x >= r.Left && x < r.Left + r.Width && y >= r.Top && y < r.Top + r.Height) return true;
  return false;
}

// Runs both compositions side by side for `ticks` frames and checks, after
// each, that the surfaces are equal, that the damage rectangles lie on the
// surface, and that no pixel outside them changed since the frame before.
void CheckAgainstReference(const TImage& sheet, std::int32_t w, std::int32_t h, std::int32_t count, std::uint32_t seed,
                           int ticks, TBlendKernel kernel) {
  SCOPED_TRACE(::testing::Message() << w << "x" << h << " count " << count << " seed " << seed << " kernel "
                                    << static_cast<int>(kernel));
  auto fast = ScatteredField(w, h, seed);
  auto slow = std::make_unique<WalkerField>(*fast);
  TCompositor compositor(sheet, w, h, kernel);
  TTwoPassReference reference(sheet, w, h);
  std::vector<std::uint32_t> before(reference.Surface);
  for (int t = 0; t < ticks; ++t) {
    compositor.ComposeFrame(*fast, count);
    reference.ComposeFrame(*slow, count);
    ASSERT_EQ(fast->RandomState, slow->RandomState);
    const auto surface = compositor.Surface();
    ASSERT_EQ(surface.size(), reference.Surface.size());
    for (std::size_t p = 0; p < surface.size(); ++p)
      ASSERT_EQ(surface[p], reference.Surface[p]) << "tick " << t << " pixel (" << p % static_cast<std::size_t>(w)
                                                  << ", " << p / static_cast<std::size_t>(w) << ")";
    const auto damage = compositor.Damage();
    for (const TRect& r : damage) {
      ASSERT_GT(r.Width, 0);
      ASSERT_GT(r.Height, 0);
      ASSERT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Left + r.Width <= w && r.Top + r.Height <= h);
    }
    for (std::int32_t y = 0; y < h; ++y) {
      for (std::int32_t x = 0; x < w; ++x) {
        if (InDamage(damage, x, y)) continue;
        ASSERT_EQ(surface[static_cast<std::size_t>(y) * w + x], before[static_cast<std::size_t>(y) * w + x])
            << "tick " << t << ": pixel (" << x << ", " << y << ") changed outside the damage list";
      }
    }
    before = reference.Surface;
  }
}

TEST(Compositor, MatchesTheTwoPassReferenceOnRandomScenes) {
  const TImage sheet = RandomSheet(11);
  const struct {
    std::int32_t w, h, count;
    int ticks;
  } scenes[] = {
      {1, 1, 12, 6},      {1, 1, 1000, 3},   {2, 3, 1000, 3},   {50, 40, 1000, 3},  {74, 117, 40, 10},
      {225, 166, 12, 8},  {300, 90, 300, 5}, {511, 200, 1, 30}, {512, 300, 12, 40}, {640, 480, 1000, 2},
      {1000, 7, 1000, 4}, {7, 700, 500, 4},  {333, 222, -5, 3}, {333, 222, 0, 3},   {200, 150, 1001, 2},
  };
  for (std::uint32_t seed : {1u, 2u, 0xFFFFFFFFu})
    for (const auto& s : scenes) CheckAgainstReference(sheet, s.w, s.h, s.count, seed, s.ticks, TBlendKernel::Fastest);
  // The narrower and the plain code as well, where the fastest is a different one.
  for (const TBlendKernel kernel : {TBlendKernel::Vector256, TBlendKernel::Portable})
    for (const auto& s : scenes) CheckAgainstReference(sheet, s.w, s.h, s.count, 4, s.ticks, kernel);
}

TEST(Compositor, MatchesTheReferenceOnASurfaceTooLargeToStayCached) {
  // Above 16 MB the finished rows go to memory by another way.
  const TImage sheet = RandomSheet(12);
  for (const TBlendKernel kernel : {TBlendKernel::Fastest, TBlendKernel::Vector256, TBlendKernel::Portable})
    CheckAgainstReference(sheet, 2051, 2100, 150, 5, 2, kernel);
}

TEST(Compositor, MatchesTheReferenceWithTheRealSheet) {
  const TDecodedBitmap sheet = DecodeBitmap(SpriteSheetBitmap(), SheetWidth, SheetHeight);
  ASSERT_TRUE(sheet.Ok()) << sheet.Error;
  for (const TBlendKernel kernel : {TBlendKernel::Fastest, TBlendKernel::Vector256, TBlendKernel::Portable}) {
    CheckAgainstReference(sheet.Image, 900, 500, 1000, 1, 3, kernel);
    CheckAgainstReference(sheet.Image, 640, 480, 12, 2, 20, kernel);
  }
}

TEST(Compositor, MatchesTheReferenceOverManyTicksAsWalkersCrossEdges) {
  // Walkers seeded by the model alone, run long enough to leave and re-enter.
  const TImage sheet = RandomSheet(5);
  for (std::uint32_t seed : {3u, 77u}) {
    auto fast = std::make_unique<WalkerField>();
    StartField(*fast, 600, 260, seed);
    auto slow = std::make_unique<WalkerField>(*fast);
    TCompositor compositor(sheet, 600, 260);
    TTwoPassReference reference(sheet, 600, 260);
    for (int t = 0; t < 120; ++t) {
      compositor.ComposeFrame(*fast, 30);
      reference.ComposeFrame(*slow, 30);
      ASSERT_TRUE(std::equal(reference.Surface.begin(), reference.Surface.end(), compositor.Surface().begin()))
          << "seed " << seed << " tick " << t;
    }
  }
}

TEST(Compositor, OneWalkerCopiesItsFrameAndLeavesTheRestWhite) {
  // On white, OR with the mask then AND with the frame gives the frame's own
  // pixels everywhere in its rectangle.
  const TImage sheet = RandomSheet(8);
  auto field = std::make_unique<WalkerField>();
  StartField(*field, 300, 200, 1);
  const struct { std::int32_t x, y; } places[] = {{10, 20}, {-10, 20}, {10, -30}, {250, 150}, {-70, -100}};
  for (const auto& p : places) {
    SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y);
    field->Walkers.Kind[0] = 0;
    field->Walkers.Frame[0] = 0;
    field->Walkers.X[0] = p.x;
    field->Walkers.Y[0] = p.y;
    field->Walkers.DX[0] = 0;
    field->Walkers.DY[0] = 0;
    TCompositor compositor(sheet, 300, 200);
    compositor.ComposeFrame(*field, 1);
    for (std::int32_t y = 0; y < 200; ++y) {
      for (std::int32_t x = 0; x < 300; ++x) {
        const std::int32_t i = x - p.x, j = y - p.y;
        const bool inside = i >= 0 && i < 75 && j >= 0 && j < 118;
        ASSERT_EQ(Pixel(compositor, x, y), inside ? sheet.At(i, j) : WhitePixel) << x << ", " << y;
      }
    }
  }
}

TEST(Compositor, WalkersOnTheEdgeOrOutsideChangeNothing) {
  const TImage sheet = RandomSheet(9);
  auto field = std::make_unique<WalkerField>();
  StartField(*field, 400, 300, 1);
  const struct {
    int kind;
    std::int32_t x, y;
  } places[] = {{3, -112, 10}, {3, 400, 10}, {5, 10, -166}, {5, 10, 300}, {1, -60, -115}};
  for (int i = 0; i < 5; ++i) {
    field->Walkers.Kind[i] = static_cast<std::int8_t>(places[i].kind);
    field->Walkers.X[i] = places[i].x;
    field->Walkers.Y[i] = places[i].y;
    field->Walkers.DX[i] = 0;
    field->Walkers.DY[i] = 0;
  }
  TCompositor compositor(sheet, 400, 300);
  compositor.ComposeFrame(*field, 5);
  for (std::uint32_t p : compositor.Surface()) ASSERT_EQ(p, WhitePixel);
  compositor.ComposeFrame(*field, 5);
  EXPECT_TRUE(compositor.Damage().empty());
}

TEST(Compositor, DamageIsTheWholeSurfaceFirstThenOnlyWhatMoved) {
  const TImage sheet = RandomSheet(4);
  auto field = std::make_unique<WalkerField>();
  StartField(*field, 1200, 900, 1);
  TCompositor compositor(sheet, 1200, 900);

  compositor.ComposeFrame(*field, 0);
  ASSERT_EQ(compositor.Damage().size(), 1u);
  EXPECT_EQ(compositor.Damage()[0], (TRect{0, 0, 1200, 900}));
  for (std::uint32_t p : compositor.Surface()) ASSERT_EQ(p, WhitePixel);
  compositor.ComposeFrame(*field, 0);
  EXPECT_TRUE(compositor.Damage().empty());

  // Two walkers: a few small rectangles, all inside the surface.
  compositor.ComposeFrame(*field, 2);
  const auto damage = compositor.Damage();
  ASSERT_FALSE(damage.empty());
  EXPECT_LE(damage.size(), 2u);
  for (const TRect& r : damage) EXPECT_LE(r.Width, 225);
}

TEST(Compositor, AllocatesNothingWhileComposing) {
  const TImage sheet = RandomSheet(2);
  for (const TBlendKernel kernel : {TBlendKernel::Fastest, TBlendKernel::Vector256, TBlendKernel::Portable}) {
    auto field = std::make_unique<WalkerField>();
    StartField(*field, 800, 600, 1);
    TCompositor compositor(sheet, 800, 600, kernel);
    const long before = allocations.load();
    for (int t = 0; t < 5; ++t) compositor.ComposeFrame(*field, 1000);
    EXPECT_EQ(allocations.load(), before);
  }
}

TEST(Compositor, RejectsASheetOrASurfaceItCannotDraw) {
  TImage small;
  small.Width = 10;
  small.Height = 10;
  small.Pixels.assign(100, WhitePixel);
  EXPECT_THROW(TCompositor(small, 10, 10), std::invalid_argument);

  TImage grey = RandomSheet(3);
  const TSheetRect m = MaskSourceRect(4, 2);
  grey.Pixels[static_cast<std::size_t>(m.Top + 5) * SheetWidth + (m.Left + 5)] = 0x00808080u;
  EXPECT_THROW(TCompositor(grey, 10, 10), std::invalid_argument);

  // Far wider than any screen: refused rather than drawn wrongly.
  EXPECT_THROW(TCompositor(RandomSheet(3), 5'000'000, 1), std::invalid_argument);
}

TEST(Compositor, AFieldWithoutPixelsStillMovesTheWalkers) {
  const TImage sheet = RandomSheet(6);
  auto field = std::make_unique<WalkerField>();
  StartField(*field, 100, 100, 1);
  const std::int32_t x0 = field->Walkers.X[0];
  TCompositor compositor(sheet, 0, 5);
  compositor.ComposeFrame(*field, 1);
  EXPECT_EQ(compositor.Surface().size(), 0u);
  EXPECT_TRUE(compositor.Damage().empty());
  EXPECT_EQ(field->Walkers.X[0], x0 + 2 * field->Walkers.DX[0]);
}

}  // namespace
