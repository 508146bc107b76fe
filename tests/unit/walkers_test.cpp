#include "anim/walkers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace quillfen;

namespace {

using Draw = std::tuple<int, int, std::int32_t, std::int32_t>;  // kind, frame, x, y

std::vector<Draw> Tick(WalkerField& f, std::int32_t count) {
  std::vector<Draw> draws;
  f.StepWalkers(count, [&](int k, int fr, std::int32_t x, std::int32_t y) { draws.emplace_back(k, fr, x, y); });
  return draws;
}

// The table is large; keep fields on the heap.
std::unique_ptr<WalkerField> NewField(std::int32_t w, std::int32_t h) {
  auto f = std::make_unique<WalkerField>();
  f->ScreenWidth = w;
  f->ScreenHeight = h;
  return f;
}

void Place(WalkerField& f, int i, int kind, int frame, std::int32_t x, std::int32_t y, std::int32_t dx,
           std::int32_t dy) {
  f.Walkers.Kind[i] = static_cast<std::int8_t>(kind);
  f.Walkers.Frame[i] = static_cast<std::int8_t>(frame);
  f.Walkers.X[i] = x;
  f.Walkers.Y[i] = y;
  f.Walkers.DX[i] = dx;
  f.Walkers.DY[i] = dy;
}

TEST(Generator, FirstResultsForSeedOne) {
  WalkerField f;
  f.SeedRandom(1);
  const std::int32_t expect[] = {346, 130, 10982, 1090, 11656, 7117};
  for (auto e : expect) EXPECT_EQ(f.NextRandom(), e);
  f.SeedRandom(0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) {
    const auto r = f.NextRandom();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST(SeedWalkers, WalkerZeroOfSeedOneOn800x600) {
  auto f = std::make_unique<WalkerField>();
  StartField(*f, 800, 600, 1);
  const TWalkers& t = f->Walkers;
  EXPECT_EQ(t.Kind[0], 4);
  EXPECT_EQ(t.X[0], 130);
  EXPECT_EQ(t.Y[0], 182);
  EXPECT_EQ(t.DX[0], 3);
  EXPECT_EQ(t.DY[0], -1);
  EXPECT_EQ(t.Frame[0], 1);
}

TEST(SeedWalkers, EveryEntryInRangeAndSpeedDistribution) {
  auto f = std::make_unique<WalkerField>();
  StartField(*f, 640, 480, 12345);
  int dxCount[15] = {};
  for (int i = 0; i < MaxWalkers; ++i) {
    const TWalkers& t = f->Walkers;
    ASSERT_GE(t.Kind[i], 0);
    ASSERT_LT(t.Kind[i], 6);
    ASSERT_GE(t.Frame[i], 0);
    ASSERT_LT(t.Frame[i], 4);
    ASSERT_GE(t.X[i], 0);
    ASSERT_LT(t.X[i], 640);
    ASSERT_GE(t.Y[i], 0);
    ASSERT_LT(t.Y[i], 480);
    ASSERT_NE(t.DX[i], 0);
    ASSERT_GE(t.DX[i], -7);
    ASSERT_LE(t.DX[i], 7);
    ASSERT_GE(t.DY[i], -2);
    ASSERT_LE(t.DY[i], 2);
    ++dxCount[t.DX[i] + 7];
  }
  EXPECT_EQ(dxCount[7], 0);
  // 1 comes from two of fifteen draws: about twice as often as -1.
  EXPECT_GT(dxCount[8], dxCount[6] * 3 / 2);
}

TEST(SeedWalkers, SpeedMappingFromTheDraw) {
  // Find seeds whose fourth draw mod 15 gives each value, then check DX.
  for (std::int32_t e : {0, 7, 8, 14}) {
    for (std::uint32_t seed = 0;; ++seed) {
      WalkerField g;
      g.SeedRandom(seed);
      for (int d = 0; d < 3; ++d) g.NextRandom();
      if (g.NextRandom() % 15 != e) continue;
      auto f = std::make_unique<WalkerField>();
      StartField(*f, 800, 600, seed);
      const std::int32_t want = e == 7 ? 1 : e - 7;
      EXPECT_EQ(f->Walkers.DX[0], want) << "draw " << e;
      break;
    }
  }
}

TEST(SeedWalkers, TinyAndEmptyFields) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{0, 7}, std::pair{7, 0}}) {
    auto f = std::make_unique<WalkerField>();
    StartField(*f, w, h, 99);
    for (int i = 0; i < MaxWalkers; ++i) {
      ASSERT_EQ(f->Walkers.X[i], w == 7 ? f->Walkers.X[i] : 0);
      ASSERT_EQ(f->Walkers.Y[i], h == 7 ? f->Walkers.Y[i] : 0);
      ASSERT_LT(f->Walkers.X[i], std::max(w, 1));
      ASSERT_LT(f->Walkers.Y[i], std::max(h, 1));
    }
  }
}

TEST(SeedWalkers, SameSeedSameTable) {
  auto a = std::make_unique<WalkerField>();
  auto b = std::make_unique<WalkerField>();
  StartField(*a, 1024, 768, 777);
  StartField(*b, 1024, 768, 777);
  EXPECT_EQ(std::memcmp(&a->Walkers, &b->Walkers, sizeof(TWalkers)), 0);
  EXPECT_EQ(a->RandomState, b->RandomState);
}

TEST(StepWalkers, MovesByTwiceTheSpeedAndDrawsTheOldFrame) {
  auto f = NewField(800, 600);
  Place(*f, 0, 2, 3, 100, 200, -3, 2);
  Place(*f, 1, 0, 0, 10, 10, 7, -2);
  const auto draws = Tick(*f, 2);
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0], Draw(2, 3, 94, 204));
  EXPECT_EQ(draws[1], Draw(0, 0, 24, 6));
  EXPECT_EQ(f->Walkers.Frame[0], 0);
  EXPECT_EQ(f->Walkers.Frame[1], 1);
  // The frame cycle: 0, 1, 2, 3, 0 ... shown as columns 0, 1, 2, 1.
  std::vector<int> frames;
  for (int t = 0; t < 5; ++t) frames.push_back(std::get<1>(Tick(*f, 2)[1]));
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST(StepWalkers, LeavingLeftReentersAtTheRightUndrawn) {
  // Kind 3 is 112 wide: -110 -> -112 (drawn, equality is not leaving) -> -114 (gone).
  auto f = NewField(800, 600);
  Place(*f, 0, 3, 2, -110, 50, -1, 0);
  f->SeedRandom(5);
  auto d = Tick(*f, 1);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0], Draw(3, 2, -112, 50));
  WalkerField probe;
  probe.SeedRandom(f->RandomState);
  const int expectedKind = probe.NextRandom() % 6;
  d = Tick(*f, 1);
  EXPECT_TRUE(d.empty());
  EXPECT_EQ(f->Walkers.X[0], 800);
  EXPECT_EQ(f->Walkers.Y[0], 50);
  EXPECT_EQ(f->Walkers.Kind[0], expectedKind);
  EXPECT_EQ(f->Walkers.Frame[0], 0);  // 2 -> 3 -> 0, also on the re-entry tick
  EXPECT_EQ(f->RandomState, probe.RandomState);  // exactly one draw
}

// Re-entry at each edge for every new kind: the generator is steered so that
// the one draw gives the kind wanted.
std::uint32_t SeedGivingKind(int kind) {
  for (std::uint32_t s = 0;; ++s) {
    WalkerField g;
    g.SeedRandom(s);
    if (g.NextRandom() % 6 == kind) return s;
  }
}

TEST(StepWalkers, ReentryPositionsAtAllFourEdges) {
  const std::int32_t W = 640, H = 480;
  struct Edge {
    const char* name;
    std::int32_t x, y, dx, dy;
  };
  // A kind 1 walker (60 x 115) one step from leaving at each edge.
  const Edge edges[] = {{"right", W - 1, 100, 1, 0},
                        {"left", -KindWidth(1) - 1, 100, -1, 0},
                        {"bottom", 100, H - 1, 1, 1},
                        {"top", 100, -KindHeight(1) - 1, 1, -1}};
  for (const Edge& e : edges) {
    for (int newKind = 0; newKind < KindCount; ++newKind) {
      SCOPED_TRACE(std::string(e.name) + " kind " + std::to_string(newKind));
      auto f = NewField(W, H);
      Place(*f, 0, 1, 2, e.x, e.y, e.dx, e.dy);
      f->SeedRandom(SeedGivingKind(newKind));
      EXPECT_TRUE(Tick(*f, 1).empty());
      EXPECT_EQ(f->Walkers.Kind[0], newKind);
      EXPECT_EQ(f->Walkers.Frame[0], 3);
      const std::int32_t mx = e.x + 2 * e.dx, my = e.y + 2 * e.dy;
      const std::string name = e.name;
      if (name == "right") {
        EXPECT_EQ(f->Walkers.X[0], -KindWidth(newKind));
        EXPECT_EQ(f->Walkers.Y[0], my);
      } else if (name == "left") {
        EXPECT_EQ(f->Walkers.X[0], W);
        EXPECT_EQ(f->Walkers.Y[0], my);
      } else if (name == "bottom") {
        EXPECT_EQ(f->Walkers.X[0], mx);
        EXPECT_EQ(f->Walkers.Y[0], -KindHeight(newKind));
      } else {
        EXPECT_EQ(f->Walkers.X[0], mx);
        EXPECT_EQ(f->Walkers.Y[0], H);
      }
    }
  }
  EXPECT_EQ(SheetScale(-SpriteKinds.Width[5]), -225);
  EXPECT_EQ(SheetScale(-SpriteKinds.Width[1]), -60);
  EXPECT_EQ(SheetScale(-SpriteKinds.Height[5]), -166);
}

TEST(StepWalkers, EqualityAtEveryEdgeIsStillDrawn) {
  auto f = NewField(300, 200);
  const int k = 4;  // 75 x 87
  Place(*f, 0, k, 0, -KindWidth(k) + 2, 10, -1, 0);
  Place(*f, 1, k, 0, 298, 10, 1, 0);
  Place(*f, 2, k, 0, 10, -KindHeight(k) + 4, 1, -2);
  Place(*f, 3, k, 0, 10, 196, 1, 2);
  const auto d = Tick(*f, 4);
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(d[0], Draw(k, 0, -KindWidth(k), 10));
  EXPECT_EQ(d[1], Draw(k, 0, 300, 10));
  EXPECT_EQ(d[2], Draw(k, 0, 12, -KindHeight(k)));
  EXPECT_EQ(d[3], Draw(k, 0, 12, 200));
}

TEST(StepWalkers, HorizontalRuleWinsOverVertical) {
  auto f = NewField(300, 200);
  Place(*f, 0, 0, 0, 299, 199, 1, 1);  // out right and bottom at once
  f->SeedRandom(SeedGivingKind(2));
  EXPECT_TRUE(Tick(*f, 1).empty());
  EXPECT_EQ(f->Walkers.X[0], -KindWidth(2));
  EXPECT_EQ(f->Walkers.Y[0], 201);  // the moved value, still out below
  // Next tick: still below, so the vertical rule applies now.
  f->SeedRandom(SeedGivingKind(5));
  EXPECT_TRUE(Tick(*f, 1).empty());
  EXPECT_EQ(f->Walkers.Kind[0], 5);
  EXPECT_EQ(f->Walkers.Y[0], -166);
  EXPECT_EQ(f->Walkers.X[0], -KindWidth(2) + 2);
}

TEST(StepWalkers, ExitTestUsesTheOldKindsSize) {
  // Kind 5 is 225 wide; at -224 moving left by 2 it reaches -226 and leaves,
  // whatever the new kind.
  auto f = NewField(800, 600);
  Place(*f, 0, 5, 0, -224, 10, -1, 0);
  f->SeedRandom(SeedGivingKind(1));
  EXPECT_TRUE(Tick(*f, 1).empty());
  EXPECT_EQ(f->Walkers.X[0], 800);
  EXPECT_EQ(f->Walkers.Kind[0], 1);
}

TEST(StepWalkers, OneDrawPerReentryAndNoneOtherwise) {
  auto f = std::make_unique<WalkerField>();
  StartField(*f, 800, 600, 42);
  std::uint64_t reentries = 0;
  for (int t = 0; t < 2000; ++t) {
    const auto before = std::make_unique<TWalkers>(f->Walkers);
    const std::uint32_t state = f->RandomState;
    const auto draws = Tick(*f, 1000);
    std::size_t undrawn = 0;
    for (int i = 0; i < 1000; ++i)
      if (f->Walkers.Kind[i] != before->Kind[i] || f->Walkers.X[i] != before->X[i] + 2 * before->DX[i] ||
          f->Walkers.Y[i] != before->Y[i] + 2 * before->DY[i])
        ++undrawn;
    ASSERT_EQ(draws.size() + undrawn, 1000u);
    WalkerField g;
    g.SeedRandom(state);
    for (std::size_t r = 0; r < undrawn; ++r) g.NextRandom();
    ASSERT_EQ(g.RandomState, f->RandomState);
    reentries += undrawn;
  }
  EXPECT_GT(reentries, 1000u);
}

TEST(StepWalkers, CountsOutsideTheTable) {
  for (std::int32_t count : {0, -5}) {
    auto f = std::make_unique<WalkerField>();
    StartField(*f, 800, 600, 3);
    const auto before = std::make_unique<TWalkers>(f->Walkers);
    const auto state = f->RandomState;
    EXPECT_TRUE(Tick(*f, count).empty());
    EXPECT_EQ(std::memcmp(before.get(), &f->Walkers, sizeof(TWalkers)), 0);
    EXPECT_EQ(state, f->RandomState);
  }
  // 5000 animates the whole table and nothing more.
  auto a = std::make_unique<WalkerField>();
  auto b = std::make_unique<WalkerField>();
  StartField(*a, 800, 600, 3);
  StartField(*b, 800, 600, 3);
  for (int t = 0; t < 50; ++t) EXPECT_EQ(Tick(*a, 5000), Tick(*b, MaxWalkers));
  EXPECT_EQ(std::memcmp(&a->Walkers, &b->Walkers, sizeof(TWalkers)), 0);
}

TEST(StepWalkers, InactiveEntriesAreNeverTouched) {
  auto f = std::make_unique<WalkerField>();
  StartField(*f, 800, 600, 8);
  const auto before = std::make_unique<TWalkers>(f->Walkers);
  for (int t = 0; t < 100; ++t) Tick(*f, 12);
  for (int i = 12; i < MaxWalkers; ++i) {
    ASSERT_EQ(f->Walkers.X[i], before->X[i]);
    ASSERT_EQ(f->Walkers.Frame[i], before->Frame[i]);
  }
}

TEST(SmallFieldRule, OnlyTheWidthCounts) {
  EXPECT_EQ(ApplySmallFieldRule(1000, 511), 1);
  EXPECT_EQ(ApplySmallFieldRule(1000, 512), 1000);
  EXPECT_EQ(ApplySmallFieldRule(0, 100), 1);
  EXPECT_EQ(ApplySmallFieldRule(-5, 100), 1);
  EXPECT_EQ(ApplySmallFieldRule(-5, 4000), -5);
}

}  // namespace
