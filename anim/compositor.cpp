#include "anim/compositor.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

// The wide blends need GCC or clang on x86 and a system that keeps 32-byte
// stack slots aligned (64-bit Windows does not for spilled AVX registers).
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__) && !defined(_WIN32)
#define QF_WIDE_BLEND 1
#include <immintrin.h>
#else
#define QF_WIDE_BLEND 0
#endif

// SSE2 is part of every x86-64 processor and needs only the 16-byte stack
// alignment that every x86-64 system keeps: the plain code uses it for the
// blend and for streaming stores, which write finished bands past the caches
// without reading the old surface first.
#if defined(__x86_64__) && defined(__SSE2__)
#define QF_SSE2 1
#include <emmintrin.h>
#else
#define QF_SSE2 0
#endif

// How the composition works.
//
// Each frame is cut, once, into chunks of 16 neighbouring row pixels that
// together cover every pixel that can change the surface. A pool pixel says
// what the two transfers do to the surface pixel under it: where the mask is
// white it is the frame pixel with a clear top byte (it replaces what lies
// below); where the mask is black it is the frame pixel with the top byte
// set (it is ANDed onto what lies below; a white one, all ones, changes
// nothing).
//
// The surface is composed band by band, and within a band the walkers are
// drawn from the top one down. A band pixel starts as white with its top
// byte set ("open") and takes the AND of every pool pixel drawn onto it
// until one with a clear top byte closes it. Drawing in walker order would
// leave exactly this there: the topmost replacing pixel ANDed with the
// pixels above it, or white ANDed with them where nothing replaced it.
// Closed pixels are never changed again (the widest blend does not even read
// the pool for them). The top bytes are cleared when the band is copied out.

namespace quillfen {

namespace {

constexpr std::uint32_t ColourBits = 0x00FFFFFFu;
constexpr std::uint32_t KeepBits = 0xFF000000u;
// The pool pixel of a black mask over a white frame pixel.
constexpr std::uint32_t Unchanged = 0xFFFFFFFFu;
// A band pixel that nothing has closed yet, and nothing ANDed.
constexpr std::uint32_t OpenWhite = 0xFFFFFFFFu;

constexpr std::int32_t Chunk = 16;  // pixels in a chunk

// A band holds about this many pixels (256 KB): it stays in a typical
// second-level cache together with the frames; at least one row.
constexpr std::int64_t BandPixels = 64 * 1024;

// A surface larger than this is unlikely to stay in the last-level cache
// until the next tick or the display reads it, so finished bands are
// streamed to memory; smaller ones are stored normally and stay cached.
constexpr std::size_t StreamOutBytes = std::size_t{16} << 20;

enum TKernelId : int { PortableKernel, Avx2Kernel, Avx512Kernel };

// Copies n finished pixels out to the surface without their top bytes and
// leaves the band open white for the next one, with plain stores.
inline void CopyOutTail(std::uint32_t* __restrict dst, std::uint32_t* __restrict src, std::size_t from,
                        std::size_t n) noexcept {
  for (std::size_t i = from; i < n; ++i) {
    dst[i] = src[i] & ColourBits;
    src[i] = OpenWhite;
  }
}

// What every processor runs: SSE2 on x86-64, one pixel at a time elsewhere.
struct TPortableOps {
  // Draws one chunk onto band pixels d: open pixels take d AND p.
  static void DrawChunk(std::uint32_t* __restrict d, const std::uint32_t* __restrict p) noexcept {
#if QF_SSE2
    for (int i = 0; i < Chunk; i += 4) {
      __m128i* at = reinterpret_cast<__m128i*>(d + i);
      const __m128i old = _mm_loadu_si128(at);
      const __m128i open = _mm_srai_epi32(old, 31);
      const __m128i pool = _mm_load_si128(reinterpret_cast<const __m128i*>(p + i));
      _mm_storeu_si128(at, _mm_andnot_si128(_mm_andnot_si128(pool, open), old));
    }
#else
    for (int i = 0; i < Chunk; ++i) {
      const std::uint32_t open = static_cast<std::uint32_t>(static_cast<std::int32_t>(d[i]) >> 31);
      d[i] &= p[i] | ~open;
    }
#endif
  }

  static void CopyOut(std::uint32_t* __restrict dst, std::uint32_t* __restrict src, std::size_t n,
                      [[maybe_unused]] bool stream) noexcept {
    std::size_t i = 0;
#if QF_SSE2
    if (stream) {
      for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & 15u) != 0; ++i) {
        dst[i] = src[i] & ColourBits;
        src[i] = OpenWhite;
      }
      const __m128i colour = _mm_set1_epi32(static_cast<int>(ColourBits));
      const __m128i white = _mm_set1_epi32(static_cast<int>(OpenWhite));
      for (; i + 4 <= n; i += 4) {
        __m128i* from = reinterpret_cast<__m128i*>(src + i);
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i), _mm_and_si128(_mm_loadu_si128(from), colour));
        _mm_storeu_si128(from, white);
      }
    }
#endif
    CopyOutTail(dst, src, i, n);
  }
};

#if QF_WIDE_BLEND
struct TAvx2Ops {
  __attribute__((target("avx2"))) static void DrawChunk(std::uint32_t* __restrict d,
                                                        const std::uint32_t* __restrict p) noexcept {
    for (int half = 0; half < 2; ++half) {
      __m256i* at = reinterpret_cast<__m256i*>(d + 8 * half);
      const __m256i old = _mm256_loadu_si256(at);
      const __m256i open = _mm256_srai_epi32(old, 31);
      const __m256i pool = _mm256_load_si256(reinterpret_cast<const __m256i*>(p + 8 * half));
      // old AND (pool OR NOT open) = NOT (open AND NOT pool) AND old
      _mm256_storeu_si256(at, _mm256_andnot_si256(_mm256_andnot_si256(pool, open), old));
    }
  }

  __attribute__((target("avx2"))) static void CopyOut(std::uint32_t* __restrict dst, std::uint32_t* __restrict src,
                                                      std::size_t n, bool stream) noexcept {
    std::size_t i = 0;
    for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & 31u) != 0; ++i) {
      dst[i] = src[i] & ColourBits;
      src[i] = OpenWhite;
    }
    const __m256i colour = _mm256_set1_epi32(static_cast<int>(ColourBits));
    const __m256i white = _mm256_set1_epi32(static_cast<int>(OpenWhite));
    for (; i + 8 <= n; i += 8) {
      __m256i* from = reinterpret_cast<__m256i*>(src + i);
      __m256i* to = reinterpret_cast<__m256i*>(dst + i);
      const __m256i out = _mm256_and_si256(_mm256_loadu_si256(from), colour);
      if (stream) {
        _mm256_stream_si256(to, out);
      } else {
        _mm256_store_si256(to, out);
      }
      _mm256_storeu_si256(from, white);
    }
    CopyOutTail(dst, src, i, n);
  }
};

struct TAvx512Ops {
  // The pool is read only for open lanes: a chunk over closed pixels costs
  // no pool traffic. Testing for that with a branch costs more than it saves.
  __attribute__((target("avx512f"))) static void DrawChunk(std::uint32_t* __restrict d,
                                                           const std::uint32_t* __restrict p) noexcept {
    const __m512i old = _mm512_loadu_si512(d);
    const __mmask16 open = _mm512_cmplt_epi32_mask(old, _mm512_setzero_si512());
    _mm512_storeu_si512(d, _mm512_mask_and_epi32(old, open, old, _mm512_maskz_load_epi32(open, p)));
  }

  __attribute__((target("avx512f"))) static void CopyOut(std::uint32_t* __restrict dst, std::uint32_t* __restrict src,
                                                         std::size_t n, bool stream) noexcept {
    std::size_t i = 0;
    for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & 63u) != 0; ++i) {
      dst[i] = src[i] & ColourBits;
      src[i] = OpenWhite;
    }
    const __m512i colour = _mm512_set1_epi32(static_cast<int>(ColourBits));
    const __m512i white = _mm512_set1_epi32(static_cast<int>(OpenWhite));
    for (; i + 16 <= n; i += 16) {
      const __m512i out = _mm512_and_si512(_mm512_loadu_si512(src + i), colour);
      if (stream) {
        _mm512_stream_si512(reinterpret_cast<__m512i*>(dst + i), out);
      } else {
        _mm512_store_si512(dst + i, out);
      }
      _mm512_storeu_si512(src + i, white);
    }
    CopyOutTail(dst, src, i, n);
  }
};

int ChooseKernel(TBlendKernel wanted) noexcept {
  if (wanted == TBlendKernel::Portable) return PortableKernel;
  __builtin_cpu_init();
  if (wanted == TBlendKernel::Fastest && __builtin_cpu_supports("avx512f")) return Avx512Kernel;
  if (__builtin_cpu_supports("avx2")) return Avx2Kernel;
  return PortableKernel;
}
#else
int ChooseKernel(TBlendKernel) noexcept {
  return PortableKernel;
}
#endif

// Makes the streamed stores visible before anyone reads the surface.
inline void FinishCopyOut() noexcept {
#if QF_SSE2
  _mm_sfence();
#endif
}

std::int64_t Area(const TRect& r) noexcept {
  return std::int64_t{r.Width} * r.Height;
}

// The first element of `store` at or after a 64-byte boundary.
std::uint32_t* Aligned64(std::vector<std::uint32_t>& store) noexcept {
  const std::size_t misaligned = reinterpret_cast<std::uintptr_t>(store.data()) % 64u;
  return store.data() + (misaligned == 0 ? 0 : (64u - misaligned) / sizeof(std::uint32_t));
}

}  // namespace

TCompositor::TCompositor(const TImage& sheet, std::int32_t width, std::int32_t height, TBlendKernel kernel)
    : Kernel_(ChooseKernel(kernel)) {
  if (sheet.Width != SheetWidth || sheet.Height != SheetHeight ||
      sheet.Pixels.size() != static_cast<std::size_t>(SheetWidth) * SheetHeight)
    throw std::invalid_argument("the sprite sheet must be 675 x 722 pixels");
  if (width >= 1 && height >= 1) {
    Width_ = width;
    Height_ = height;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    SurfaceStore_.assign(pixels + 64 / sizeof(std::uint32_t), WhitePixel);
    Surface_ = {Aligned64(SurfaceStore_), pixels};
    // Spare pixels: a chunk's first pixel is on the surface, so it reaches
    // at most 15 pixels past either side.
    // Rows start on 64-byte boundaries, as the surface's do where the width
    // allows.
    const std::int64_t stride = (std::int64_t{Width_} + Chunk - 1) / Chunk * Chunk + 2 * Chunk;
    // Chunk offsets (row x stride) must fit in 32 bits.
    if (stride > INT32_MAX / 512) throw std::invalid_argument("the surface is too wide");
    BandStride_ = static_cast<std::int32_t>(stride);
    BandHeight_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(BandPixels / stride, 1, Height_));
    BandCount_ = (Height_ + BandHeight_ - 1) / BandHeight_;
    StreamOut_ = Surface_.size() * sizeof(std::uint32_t) > StreamOutBytes;
  }

  // What one frame pixel does to the surface, worked out once.
  const auto poolPixel = [&sheet](std::int32_t fx, std::int32_t fy, std::int32_t mx, std::int32_t my) {
    const std::uint32_t m = sheet.At(mx, my) & ColourBits;
    const std::uint32_t s = sheet.At(fx, fy) & ColourBits;
    if (m != 0 && m != ColourBits)
      throw std::invalid_argument("the sprite sheet's masks must be pure black or pure white");
    return m != 0 ? s : s | KeepBits;
  };

  std::vector<std::uint32_t> pool;
  std::int32_t tallest = 0;
  Frames_.resize(KindCount * 3);
  for (int kind = 0; kind < KindCount; ++kind) {
    for (int column = 0; column < 3; ++column) {
      // Animation frame `column` shows sheet column `column` for 0 .. 2.
      const TSheetRect fr = FrameSourceRect(kind, column);
      const TSheetRect mr = MaskSourceRect(kind, column);
      const auto at = [&](std::int32_t i, std::int32_t j) {
        return i < fr.Width ? poolPixel(fr.Left + i, fr.Top + j, mr.Left + i, mr.Top + j) : Unchanged;
      };
      TFrameChunks& f = Frames_[static_cast<std::size_t>(kind * 3 + column)];
      f.Width = fr.Width;
      f.Height = fr.Height;
      f.FirstRow = static_cast<std::uint32_t>(RowChunk_.size());
      std::int32_t left = fr.Width, right = 0, top = fr.Height, bottom = 0;
      for (std::int32_t j = 0; j < fr.Height; ++j) {
        RowChunk_.push_back(static_cast<std::uint32_t>(Chunks_.size()));
        // Each chunk starts at the first pixel that the ones before left out.
        for (std::int32_t i = 0; i < fr.Width;) {
          if (at(i, j) == Unchanged) {
            ++i;
            continue;
          }
          Chunks_.push_back({j * BandStride_ + i, i});
          for (std::int32_t c = i; c < i + Chunk; ++c) {
            const std::uint32_t p = at(c, j);
            pool.push_back(p);
            if (p != Unchanged) {
              left = std::min(left, c);
              right = std::max(right, c + 1);
            }
          }
          top = std::min(top, j);
          bottom = j + 1;
          i += Chunk;
        }
      }
      RowChunk_.push_back(static_cast<std::uint32_t>(Chunks_.size()));
      if (left < right) f.Content = {left, top, right - left, bottom - top};
      tallest = std::max(tallest, f.Content.Height);
    }
  }
  // Room to align the start, and for the look-ahead past the last chunk.
  PoolStore_.assign(pool.size() + 64 / sizeof(std::uint32_t) + 2 * Chunk, Unchanged);
  std::uint32_t* const aligned = Aligned64(PoolStore_);
  std::copy(pool.begin(), pool.end(), aligned);
  Pool_ = aligned;

  Draws_.resize(MaxWalkers);
  Previous_.resize(MaxWalkers);
  Damage_.resize(2 * MaxWalkers);

  if (Width_ > 0) {
    const std::size_t bands = static_cast<std::size_t>(BandCount_);
    // Rows more for the drawing loop's look-ahead, which reaches two rows
    // down and a little past a row's end.
    BandStore_.assign(static_cast<std::size_t>(BandHeight_ + 3) * static_cast<std::size_t>(BandStride_) + Chunk,
                      OpenWhite);
    Band_ = Aligned64(BandStore_) + Chunk;
    BandFirst_.resize(bands + 1);
    BandCursor_.resize(bands);
    BandLeft_.resize(bands);
    BandRight_.resize(bands);
    DrawnLeft_.assign(bands, Width_);  // nothing drawn before the first frame
    DrawnRight_.assign(bands, 0);
    // A walker's content reaches into at most this many bands.
    const std::size_t perWalker = static_cast<std::size_t>((tallest + BandHeight_ - 1) / BandHeight_ + 1);
    BandDraws_.resize(static_cast<std::size_t>(MaxWalkers) * perWalker);
  }
}

void TCompositor::DrawWalker(int kind, int frame, std::int32_t x, std::int32_t y) noexcept {
  if (DrawCount_ >= Draws_.size()) return;  // StepWalkers never draws more than MaxWalkers
  const TFrameChunks& f = Frames_[static_cast<std::size_t>(kind * 3 + FrameColumns[frame])];
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

// Lists each band's walkers in walker order, and per band the columns that
// this frame or the last one drew on: everything else in it is white and
// stays white.
void TCompositor::SortIntoBands() noexcept {
  const std::size_t bands = BandCursor_.size();
  const std::int32_t bh = BandHeight_;
  std::fill(BandFirst_.begin(), BandFirst_.end(), 0u);
  // This frame's extents start from the last frame's, which are kept for
  // the next one in DrawnLeft_ / DrawnRight_.
  std::copy(DrawnLeft_.begin(), DrawnLeft_.end(), BandLeft_.begin());
  std::copy(DrawnRight_.begin(), DrawnRight_.end(), BandRight_.begin());
  std::fill(DrawnLeft_.begin(), DrawnLeft_.end(), Width_);
  std::fill(DrawnRight_.begin(), DrawnRight_.end(), 0);
  for (std::size_t i = 0; i < DrawCount_; ++i) {
    const TRect& r = Draws_[i].Clip;
    for (std::int32_t b = r.Top / bh, last = (r.Top + r.Height - 1) / bh; b <= last; ++b) {
      const std::size_t at = static_cast<std::size_t>(b);
      DrawnLeft_[at] = std::min(DrawnLeft_[at], r.Left);
      DrawnRight_[at] = std::max(DrawnRight_[at], r.Left + r.Width);
      ++BandFirst_[at + 1];
    }
  }
  for (std::size_t b = 0; b < bands; ++b) {
    BandLeft_[b] = std::min(BandLeft_[b], DrawnLeft_[b]);
    BandRight_[b] = std::max(BandRight_[b], DrawnRight_[b]);
    BandFirst_[b + 1] += BandFirst_[b];
    BandCursor_[b] = BandFirst_[b];
  }
  for (std::size_t i = 0; i < DrawCount_; ++i) {
    const TRect& r = Draws_[i].Clip;
    for (std::int32_t b = r.Top / bh, last = (r.Top + r.Height - 1) / bh; b <= last; ++b)
      BandDraws_[BandCursor_[static_cast<std::size_t>(b)]++] = static_cast<std::uint32_t>(i);
  }
}

// The band loop, once per blend so that each inlines its own.
struct TBandComposer {
  template <typename Ops>
  __attribute__((always_inline)) static inline void ComposeBands(TCompositor& c) noexcept {
    const TCompositor::TChunk* const chunks = c.Chunks_.data();
    // Local copies: stores into the band could alias the members, as far as
    // the compiler knows.
    const std::uint32_t* const pool = c.Pool_;
    std::uint32_t* const pixels = c.Band_;
    const std::ptrdiff_t stride = c.BandStride_;
    const std::size_t w = static_cast<std::size_t>(c.Width_);
    for (std::int32_t band = 0; band < c.BandCount_; ++band) {
      const std::size_t b = static_cast<std::size_t>(band);
      const std::int32_t left = c.BandLeft_[b], right = c.BandRight_[b];
      if (left >= right) continue;  // white before and white now
      const std::int32_t top = band * c.BandHeight_, bottom = std::min(top + c.BandHeight_, c.Height_);

      // The band is open white here: the copy-out of the band before left it
      // so. The topmost walker first.
      const std::uint32_t begin = c.BandFirst_[b], end = c.BandFirst_[b + 1];
      for (std::uint32_t e = end; e > begin; --e) {
        const TCompositor::TDraw& d = c.Draws_[c.BandDraws_[e - 1]];
        const TCompositor::TFrameChunks& f = *d.Frame;
        const std::int32_t t = std::max(d.Clip.Top, top), bt = std::min(d.Clip.Top + d.Clip.Height, bottom);
        const std::uint32_t first = c.RowChunk_[f.FirstRow + static_cast<std::uint32_t>(t - d.Y)];
        const std::uint32_t last = c.RowChunk_[f.FirstRow + static_cast<std::uint32_t>(bt - d.Y)];
        // The band pixel of the frame's corner, as an offset (it may lie outside).
        const std::ptrdiff_t corner = static_cast<std::ptrdiff_t>(d.Y - top) * stride + d.X;
        const std::uint32_t* p = pool + std::size_t{first} * Chunk;

        // Ask for the next walker's first chunks and band rows ahead: they
        // lie anywhere in the second-level cache.
        if (e - 1 > begin) {
          const TCompositor::TDraw& n = c.Draws_[c.BandDraws_[e - 2]];
          const std::int32_t nt = std::max(n.Clip.Top, top);
          const std::uint32_t next = c.RowChunk_[n.Frame->FirstRow + static_cast<std::uint32_t>(nt - n.Y)];
          __builtin_prefetch(chunks + next);
          __builtin_prefetch(pool + std::size_t{next} * Chunk);
          __builtin_prefetch(pool + std::size_t{next} * Chunk + Chunk);
          const std::uint32_t* row = pixels + (static_cast<std::ptrdiff_t>(nt - top) * stride + n.Clip.Left);
          __builtin_prefetch(row, 1);
          __builtin_prefetch(row + Chunk, 1);
          __builtin_prefetch(row + stride, 1);
          __builtin_prefetch(row + stride + Chunk, 1);
        }

        const std::int32_t minI = d.Clip.Left - d.X, maxI = d.Clip.Left + d.Clip.Width - d.X;
        if (minI <= f.Content.Left && maxI >= f.Content.Left + f.Content.Width) {
          // Four chunks a step, so that their loads start together and the
          // loop's own work is shared. The rows they reach later lie
          // scattered in the second-level cache: ask for them ahead.
          std::uint32_t k = first;
          for (; k + 4 <= last; k += 4, p += 4 * Chunk) {
            const std::ptrdiff_t at0 = corner + chunks[k].Offset, at1 = corner + chunks[k + 1].Offset;
            const std::ptrdiff_t at2 = corner + chunks[k + 2].Offset, at3 = corner + chunks[k + 3].Offset;
            __builtin_prefetch(pixels + (at0 + 2 * stride), 1);
            __builtin_prefetch(pixels + (at1 + 2 * stride), 1);
            __builtin_prefetch(pixels + (at2 + 2 * stride), 1);
            __builtin_prefetch(pixels + (at3 + 2 * stride), 1);
            __builtin_prefetch(pixels + (at3 + Chunk + 2 * stride), 1);
            Ops::DrawChunk(pixels + at0, p);
            Ops::DrawChunk(pixels + at1, p + Chunk);
            Ops::DrawChunk(pixels + at2, p + 2 * Chunk);
            Ops::DrawChunk(pixels + at3, p + 3 * Chunk);
          }
          if (k + 2 <= last) {
            const std::ptrdiff_t at0 = corner + chunks[k].Offset, at1 = corner + chunks[k + 1].Offset;
            __builtin_prefetch(pixels + (at0 + 2 * stride), 1);
            __builtin_prefetch(pixels + (at1 + 2 * stride), 1);
            __builtin_prefetch(pixels + (at1 + Chunk + 2 * stride), 1);
            Ops::DrawChunk(pixels + at0, p);
            Ops::DrawChunk(pixels + at1, p + Chunk);
            k += 2;
            p += 2 * Chunk;
          }
          if (k < last) Ops::DrawChunk(pixels + (corner + chunks[k].Offset), p);
        } else {
          // Cut at the surface's side: the part of a chunk that reaches past
          // it lands in the spare pixels beside the band.
          for (std::uint32_t k = first; k < last; ++k, p += Chunk) {
            if (chunks[k].Column + Chunk <= minI || chunks[k].Column >= maxI) continue;
            Ops::DrawChunk(pixels + (corner + chunks[k].Offset), p);
          }
        }
      }

      for (std::int32_t y = top; y < bottom; ++y)
        Ops::CopyOut(c.Surface_.data() + static_cast<std::size_t>(y) * w + static_cast<std::size_t>(left),
                     pixels + (static_cast<std::ptrdiff_t>(y - top) * stride + left),
                     static_cast<std::size_t>(right - left), c.StreamOut_);
    }
    FinishCopyOut();
  }
};

namespace {

void ComposeBandsPortable(TCompositor& c) noexcept {
  TBandComposer::ComposeBands<TPortableOps>(c);
}

#if QF_WIDE_BLEND
// `flatten` inlines the wide blends into the loop, which their target
// attribute alone would not allow.
__attribute__((target("avx2"), flatten)) void ComposeBandsAvx2(TCompositor& c) noexcept {
  TBandComposer::ComposeBands<TAvx2Ops>(c);
}

__attribute__((target("avx512f"), flatten)) void ComposeBandsAvx512(TCompositor& c) noexcept {
  TBandComposer::ComposeBands<TAvx512Ops>(c);
}
#endif

}  // namespace

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

  if (!Surface_.empty()) {
    SortIntoBands();
    switch (Kernel_) {
#if QF_WIDE_BLEND
      case Avx512Kernel:
        ComposeBandsAvx512(*this);
        break;
      case Avx2Kernel:
        ComposeBandsAvx2(*this);
        break;
#endif
      default:
        ComposeBandsPortable(*this);
        break;
    }
  }

  CollectDamage();
  for (std::size_t i = 0; i < DrawCount_; ++i) Previous_[i] = Draws_[i].Clip;
  PreviousCount_ = DrawCount_;
  FirstFrame_ = false;
}

}  // namespace quillfen
