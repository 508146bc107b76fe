// One animation tick with 1000 walkers: the compositor against the literal
// two-pass composition and against the bare cost of copying every walker's
// rectangle. Prints, per field size, tick/memcpy and reference/tick; run it
// with --benchmark_repetitions=N to have them from the medians (the machine
// may be shared: the CPU-time ratios are the steadier ones then).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "anim/bitmap.h"
#include "anim/compositor.h"
#include "anim/walkers.h"
#include "res/embedded_art.h"
#include "tests/unit/two_pass_reference.h"

using namespace quillfen;

namespace {

constexpr std::int32_t Walkers = 1000;

const TImage& Sheet() {
  static const TImage sheet = [] {
    TDecodedBitmap d = DecodeBitmap(SpriteSheetBitmap(), SheetWidth, SheetHeight);
    if (!d.Ok()) std::abort();
    return std::move(d.Image);
  }();
  return sheet;
}

std::unique_ptr<WalkerField> Field(std::int32_t w, std::int32_t h) {
  auto field = std::make_unique<WalkerField>();
  StartField(*field, w, h, 1);
  return field;
}

void BM_Tick(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0)), h = static_cast<std::int32_t>(state.range(1));
  auto field = Field(w, h);
  auto compositor = std::make_unique<TCompositor>(Sheet(), w, h);
  for (auto _ : state) {
    compositor->ComposeFrame(*field, Walkers);
    benchmark::DoNotOptimize(compositor->Pixels());
    benchmark::ClobberMemory();
  }
}

void BM_TwoPassReference(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0)), h = static_cast<std::int32_t>(state.range(1));
  auto field = Field(w, h);
  auto reference = std::make_unique<testing::TTwoPassReference>(Sheet(), w, h);
  for (auto _ : state) {
    reference->ComposeFrame(*field, Walkers);
    benchmark::DoNotOptimize(reference->Surface.data());
    benchmark::ClobberMemory();
  }
}

// Clear the surface, then memcpy each walker's clipped frame rectangle.
void BM_MemcpyBaseline(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0)), h = static_cast<std::int32_t>(state.range(1));
  auto field = Field(w, h);
  std::vector<std::uint32_t> surface(static_cast<std::size_t>(w) * h, WhitePixel);
  const TImage& sheet = Sheet();
  for (auto _ : state) {
    std::fill(surface.begin(), surface.end(), WhitePixel);
    field->StepWalkers(Walkers, [&](int kind, int frame, std::int32_t x, std::int32_t y) {
      const TSheetRect r = FrameSourceRect(kind, frame);
      const std::int32_t x0 = std::max(x, 0), x1 = std::min(x + r.Width, w);
      const std::int32_t y0 = std::max(y, 0), y1 = std::min(y + r.Height, h);
      if (x0 >= x1) return;
      for (std::int32_t sy = y0; sy < y1; ++sy)
        std::memcpy(surface.data() + static_cast<std::size_t>(sy) * w + x0,
                    sheet.Pixels.data() + static_cast<std::size_t>(r.Top + sy - y) * SheetWidth + (r.Left + x0 - x),
                    static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
    });
    benchmark::DoNotOptimize(surface.data());
    benchmark::ClobberMemory();
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Tick)->Apply(Sizes);
BENCHMARK(BM_TwoPassReference)->Apply(Sizes);
BENCHMARK(BM_MemcpyBaseline)->Apply(Sizes);

// Remembers each benchmark's time per iteration, real and CPU, so that the
// ratios can be printed: the median when the runs are repeated
// (--benchmark_repetitions), the single run's time otherwise.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  struct TTimes {
    double Real = 0, Cpu = 0;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median || (run.run_type == Run::RT_Iteration && !Medians.contains(run.run_name.str())))
        Times[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
      if (median) Medians.insert(run.run_name.str());
    }
    ConsoleReporter::ReportRuns(runs);
  }

  std::map<std::string, TTimes> Times;
  std::set<std::string> Medians;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* size : {"1920/1080", "3840/2160"}) {
    const auto find = [&](const char* name) {
      const auto it = reporter.Times.find(std::string(name) + "/" + size);
      return it == reporter.Times.end() ? TRatioReporter::TTimes{} : it->second;
    };
    const auto tick = find("BM_Tick"), reference = find("BM_TwoPassReference"), copy = find("BM_MemcpyBaseline");
    if (tick.Real <= 0 || tick.Cpu <= 0) continue;
    const bool median = reporter.Medians.contains(std::string("BM_Tick/") + size);
    std::printf(
        "%s (%s): tick/memcpy baseline = %.2f real, %.2f CPU (goal <= 0.8); "
        "reference/tick = %.1f real, %.1f CPU (goal >= 6)\n",
        size, median ? "medians" : "one run", copy.Real > 0 ? tick.Real / copy.Real : 0.0,
        copy.Cpu > 0 ? tick.Cpu / copy.Cpu : 0.0, reference.Real / tick.Real, reference.Cpu / tick.Cpu);
  }
  benchmark::Shutdown();
  return 0;
}
