#include "anim/compositor.h"

#include <algorithm>
#include <stdexcept>

// The wide blend needs GCC or clang on x86 and a system that keeps 32-byte
// stack slots aligned (64-bit Windows does not for spilled AVX registers).
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__) && !defined(_WIN32)
#define QF_WIDE_BLEND 1
#include <immintrin.h>
#else
#define QF_WIDE_BLEND 0
#endif

namespace quillfen {

namespace {

constexpr std::uint32_t CopyBit = 0x80000000u;
constexpr std::uint32_t ColourBits = 0x00FFFFFFu;

// Rows of the surface handled together: all walkers are drawn into one band
// while it stays in the cache, then the next band follows. Each pixel still
// sees the clear and the walkers in the same order as without bands.
constexpr std::int32_t BandHeight = 32;

// dst := (dst OR mask) AND frame for n pixels, with the mask carried in the
// top bit of each source pixel: set means pure white, clear pure black.
inline void BlendSpan(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src, std::int32_t n) noexcept {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t s = src[i];
    const std::uint32_t m = static_cast<std::uint32_t>(static_cast<std::int32_t>(s) >> 31);
    dst[i] = (dst[i] | m) & s & ColourBits;
  }
}

#if QF_WIDE_BLEND
// Eight pixels at a time. The operation gives the same result when applied
// twice to a pixel, so a span's last, partial group is done as the eight
// pixels that end the span, overlapping the group before it.
__attribute__((target("avx2"), always_inline)) inline void Blend8(std::uint32_t* dst, const std::uint32_t* src,
                                                                  __m256i colour) noexcept {
  const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
  const __m256i m = _mm256_srai_epi32(s, 31);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst),
                      _mm256_and_si256(_mm256_or_si256(d, m), _mm256_and_si256(s, colour)));
}

__attribute__((target("avx2"))) void BlendSpanWide(std::uint32_t* dst, const std::uint32_t* src,
                                                   std::int32_t n) noexcept {
  if (n < 8) return BlendSpan(dst, src, n);
  const __m256i colour = _mm256_set1_epi32(static_cast<int>(ColourBits));
  std::int32_t i = 0;
  for (; i + 8 <= n; i += 8) Blend8(dst + i, src + i, colour);
  if (i < n) Blend8(dst + n - 8, src + n - 8, colour);
}

bool HasWideBlend() noexcept {
  return __builtin_cpu_supports("avx2");
}
#else
void BlendSpanWide(std::uint32_t* dst, const std::uint32_t* src, std::int32_t n) noexcept {
  BlendSpan(dst, src, n);
}
bool HasWideBlend() noexcept {
  return false;
}
#endif

std::int64_t Area(const TRect& r) noexcept {
  return std::int64_t{r.Width} * r.Height;
}

}  // namespace

TCompositor::TCompositor(const TImage& sheet, std::int32_t width, std::int32_t height, TBlendKernel kernel)
    : Wide_(kernel == TBlendKernel::Fastest && HasWideBlend()) {
  if (sheet.Width != SheetWidth || sheet.Height != SheetHeight ||
      sheet.Pixels.size() != static_cast<std::size_t>(SheetWidth) * SheetHeight)
    throw std::invalid_argument("the sprite sheet must be 675 x 722 pixels");
  if (width >= 1 && height >= 1) {
    Width_ = width;
    Height_ = height;
    Surface_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), WhitePixel);
  }

  Frames_.resize(KindCount * 3);
  for (int kind = 0; kind < KindCount; ++kind) {
    for (int column = 0; column < 3; ++column) {
      // Animation frame `column` shows sheet column `column` for 0 .. 2.
      const TSheetRect fr = FrameSourceRect(kind, column);
      const TSheetRect mr = MaskSourceRect(kind, column);
      TFrameRuns& f = Frames_[static_cast<std::size_t>(kind * 3 + column)];
      f.Width = fr.Width;
      f.Height = fr.Height;
      f.FirstRow = static_cast<std::uint32_t>(Rows_.size());
      std::int32_t left = fr.Width, right = 0, top = fr.Height, bottom = 0;
      for (std::int32_t j = 0; j < fr.Height; ++j) {
        std::int32_t begin = fr.Width, end = 0;
        for (std::int32_t i = 0; i < fr.Width; ++i) {
          const std::uint32_t m = sheet.At(mr.Left + i, mr.Top + j) & ColourBits;
          const std::uint32_t s = sheet.At(fr.Left + i, fr.Top + j) & ColourBits;
          if (m != 0 && m != ColourBits)
            throw std::invalid_argument("the sprite sheet's masks must be pure black or pure white");
          // Black mask over a white frame pixel leaves the surface as it is.
          if (m == 0 && s == ColourBits) continue;
          begin = std::min(begin, i);
          end = i + 1;
        }
        TRowSpan row;
        if (begin < end) {
          row.Begin = begin;
          row.End = end;
          row.Offset = static_cast<std::uint32_t>(Pool_.size());
          for (std::int32_t i = begin; i < end; ++i) {
            const std::uint32_t m = sheet.At(mr.Left + i, mr.Top + j) & ColourBits;
            const std::uint32_t s = sheet.At(fr.Left + i, fr.Top + j) & ColourBits;
            Pool_.push_back(m != 0 ? s | CopyBit : s);
          }
          left = std::min(left, begin);
          right = std::max(right, end);
          top = std::min(top, j);
          bottom = j + 1;
        }
        Rows_.push_back(row);
      }
      if (left < right) f.Content = {left, top, right - left, bottom - top};
    }
  }

  Draws_.resize(MaxWalkers);
  Previous_.resize(MaxWalkers);
  Damage_.resize(2 * MaxWalkers);
}

void TCompositor::DrawWalker(int kind, int frame, std::int32_t x, std::int32_t y) noexcept {
  if (DrawCount_ >= Draws_.size()) return;  // StepWalkers never draws more than MaxWalkers
  const TFrameRuns& f = Frames_[static_cast<std::size_t>(kind * 3 + FrameColumns[frame])];
  // Clip the content box in 64 bits: positions come from the model and may lie far outside.
  const std::int64_t l = std::max<std::int64_t>(std::int64_t{x} + f.Content.Left, 0);
  const std::int64_t t = std::max<std::int64_t>(std::int64_t{y} + f.Content.Top, 0);
  const std::int64_t r = std::min<std::int64_t>(std::int64_t{x} + f.Content.Left + f.Content.Width, Width_);
  const std::int64_t b = std::min<std::int64_t>(std::int64_t{y} + f.Content.Top + f.Content.Height, Height_);
  if (l >= r || t >= b) return;  // nothing of it on the surface
  Draws_[DrawCount_++] = {&f,
                          x,
                          y,
                          {static_cast<std::int32_t>(l), static_cast<std::int32_t>(t), static_cast<std::int32_t>(r - l),
                           static_cast<std::int32_t>(b - t)}};
}

void TCompositor::ClearBand(std::int32_t top, std::int32_t bottom) noexcept {
  const std::size_t w = static_cast<std::size_t>(Width_);
  std::uint32_t* const s = Surface_.data();
  if (FirstFrame_) {
    std::fill(s + static_cast<std::size_t>(top) * w, s + static_cast<std::size_t>(bottom) * w, WhitePixel);
    return;
  }
  // Everything outside the last frame's walkers is white already. Where they
  // cover most of the band, one fill is cheaper than many small ones.
  std::int64_t covered = 0;
  for (std::size_t i = 0; i < PreviousCount_; ++i) {
    const TRect& r = Previous_[i];
    const std::int32_t t = std::max(r.Top, top), b = std::min(r.Top + r.Height, bottom);
    if (t < b) covered += std::int64_t{r.Width} * (b - t);
  }
  if (covered == 0) return;
  if (covered * 2 >= std::int64_t{Width_} * (bottom - top)) {
    std::fill(s + static_cast<std::size_t>(top) * w, s + static_cast<std::size_t>(bottom) * w, WhitePixel);
    return;
  }
  for (std::size_t i = 0; i < PreviousCount_; ++i) {
    const TRect& r = Previous_[i];
    const std::int32_t t = std::max(r.Top, top), b = std::min(r.Top + r.Height, bottom);
    for (std::int32_t y = t; y < b; ++y) {
      std::uint32_t* row = s + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(r.Left);
      std::fill(row, row + r.Width, WhitePixel);
    }
  }
}

void TCompositor::DrawBand(const TDraw& d, std::int32_t top, std::int32_t bottom) noexcept {
  const std::int32_t t = std::max(d.Clip.Top, top), b = std::min(d.Clip.Top + d.Clip.Height, bottom);
  if (t >= b) return;
  const TRowSpan* rows = Rows_.data() + d.Frame->FirstRow;
  const std::uint32_t* pool = Pool_.data();
  const std::size_t w = static_cast<std::size_t>(Width_);
  // Columns of the frame that land on the surface.
  const std::int32_t minI = d.Clip.Left - d.X, maxI = d.Clip.Left + d.Clip.Width - d.X;
  for (std::int32_t y = t; y < b; ++y) {
    const TRowSpan& row = rows[y - d.Y];
    const std::int32_t lo = std::max(row.Begin, minI), hi = std::min(row.End, maxI);
    if (lo >= hi) continue;
    std::uint32_t* dst = Surface_.data() + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(d.X + lo);
    const std::uint32_t* src = pool + row.Offset + static_cast<std::uint32_t>(lo - row.Begin);
    if (Wide_) {
      BlendSpanWide(dst, src, hi - lo);
    } else {
      BlendSpan(dst, src, hi - lo);
    }
  }
}

void TCompositor::CollectDamage() noexcept {
  DamageCount_ = 0;
  const TRect whole{0, 0, Width_, Height_};
  if (FirstFrame_) {
    if (Area(whole) > 0) Damage_[DamageCount_++] = whole;
    return;
  }
  std::int64_t area = 0;
  for (std::size_t i = 0; i < PreviousCount_; ++i) {
    Damage_[DamageCount_++] = Previous_[i];
    area += Area(Previous_[i]);
  }
  for (std::size_t i = 0; i < DrawCount_; ++i) {
    Damage_[DamageCount_++] = Draws_[i].Clip;
    area += Area(Draws_[i].Clip);
  }
  // Showing the whole frame once beats showing most of it piece by piece.
  if (area > 0 && area * 2 >= Area(whole)) {
    DamageCount_ = 1;
    Damage_[0] = whole;
  }
}

void TCompositor::ComposeFrame(WalkerField& field, std::int32_t walkerCount) noexcept {
  DrawCount_ = 0;
  field.StepWalkers(walkerCount, [this](int kind, int frame, std::int32_t x, std::int32_t y) noexcept {
    DrawWalker(kind, frame, x, y);
  });

  for (std::int32_t top = 0; top < Height_; top += BandHeight) {
    const std::int32_t bottom = std::min(Height_ - top, BandHeight) + top;
    ClearBand(top, bottom);
    for (std::size_t i = 0; i < DrawCount_; ++i) DrawBand(Draws_[i], top, bottom);
  }

  CollectDamage();
  for (std::size_t i = 0; i < DrawCount_; ++i) Previous_[i] = Draws_[i].Clip;
  PreviousCount_ = DrawCount_;
  FirstFrame_ = false;
}

}  // namespace quillfen
