// The model's share of a tick: motion of a full table with an empty draw step.
#include <benchmark/benchmark.h>

#include <memory>

#include "anim/walkers.h"

using namespace quillfen;

static void BM_StepWalkers(benchmark::State& state) {
  auto field = std::make_unique<WalkerField>();
  StartField(*field, 1920, 1080, 1);
  std::int64_t sink = 0;
  for (auto _ : state) {
    field->StepWalkers(static_cast<std::int32_t>(state.range(0)),
                       [&](int k, int f, std::int32_t x, std::int32_t y) { sink += k + f + x + y; });
    benchmark::DoNotOptimize(sink);
  }
}
BENCHMARK(BM_StepWalkers)->Arg(12)->Arg(1000);

BENCHMARK_MAIN();
