// Composing one animation frame: clear the surface, move the walkers, draw
// each one through its mask from the sprite sheet.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "anim/bitmap.h"
#include "anim/walkers.h"

namespace quillfen {

inline constexpr std::uint32_t WhitePixel = 0x00FFFFFFu;

// A rectangle of surface pixels: columns Left .. Left+Width-1, rows Top .. Top+Height-1.
struct TRect {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// How pixels are blended: the widest vector instructions the processor has,
// 256-bit ones where the processor has them, or plain code. All give the
// same result; the choice is there so that tests can run each.
enum class TBlendKernel { Fastest, Vector256, Portable };

// Owns the drawing surface (Width x Height pixels 0x00RRGGBB, rows top-down,
// stride = Width) and the sprite sheet in a form that is quick to draw from.
// Both are allocated by the constructor; a frame allocates nothing.
class TCompositor {
 public:
  // `sheet` must be SheetWidth x SheetHeight with pure black or pure white
  // pixels under every frame's mask, and the width at most about four
  // million pixels (throws std::invalid_argument otherwise). A width or
  // height below 1 gives a surface without pixels.
  TCompositor(const TImage& sheet, std::int32_t width, std::int32_t height,
              TBlendKernel kernel = TBlendKernel::Fastest);

  // The composition of one tick: every pixel becomes white, then
  // `field.StepWalkers(walkerCount, ...)` runs and each walker it draws is
  // ORed with its mask and ANDed with its frame, clipped to the surface, in
  // walker order. The result is bit-identical to doing exactly that; how it
  // gets there is described in compositor.cpp.
  void ComposeFrame(WalkerField& field, std::int32_t walkerCount) noexcept;

  std::int32_t Width() const noexcept { return Width_; }
  std::int32_t Height() const noexcept { return Height_; }
  const std::uint32_t* Pixels() const noexcept { return Surface_.data(); }
  std::span<const std::uint32_t> Surface() const noexcept { return Surface_; }

  // It points into its own buffers.
  TCompositor(const TCompositor&) = delete;
  TCompositor& operator=(const TCompositor&) = delete;

  // Rectangles, inside the surface, outside of which the last ComposeFrame
  // left every pixel as the one before it had. The whole surface after the
  // first frame, and whenever the changes cover much of it; otherwise what
  // the walkers covered on the last two frames (up to 2 x MaxWalkers entries,
  // possibly overlapping). Empty when nothing changed.
  std::span<const TRect> Damage() const noexcept { return {Damage_.data(), DamageCount_}; }

 private:
  // Sixteen neighbouring pixels of one frame row, starting at frame column
  // Column, that can change the surface; chunk k's pool pixels are
  // Pool_[16 k] .. Pool_[16 k + 15].
  struct TChunk {
    std::int32_t Offset;  // row x BandStride_ + Column: its place in a band relative to the frame's corner
    std::int32_t Column;
  };
  struct TFrameChunks {
    std::int32_t Width = 0, Height = 0;
    TRect Content;  // bounding box of the pixels that can change the surface, in frame coordinates
    // Row j's chunks are RowChunk_[FirstRow + j] up to RowChunk_[FirstRow + j + 1].
    std::uint32_t FirstRow = 0;
  };
  struct TDraw {
    const TFrameChunks* Frame;
    std::int32_t X, Y;
    TRect Clip;  // the content box on the surface, clipped
  };

  void DrawWalker(int kind, int frame, std::int32_t x, std::int32_t y) noexcept;
  void SortIntoBands() noexcept;
  friend struct TBandComposer;  // composes the bands with the processor's blend
  void CollectDamage() noexcept;

  int Kernel_ = 0;  // which blend the processor runs (see compositor.cpp)
  std::int32_t Width_ = 0, Height_ = 0;
  std::vector<std::uint32_t> SurfaceStore_;
  std::span<std::uint32_t> Surface_;  // inside SurfaceStore_, starting on a 64-byte boundary

  // The surface is composed in bands of whole rows, small enough to stay in
  // the second-level cache while all walkers over them are drawn, and each
  // finished band is copied out once. A band row has spare pixels on either
  // side that catch the parts of chunks cut at the surface's sides.
  std::int32_t BandHeight_ = 0, BandStride_ = 0, BandCount_ = 0;
  bool StreamOut_ = false;  // write finished bands past the caches
  std::vector<std::uint32_t> BandStore_;
  std::uint32_t* Band_ = nullptr;                     // column 0 of row 0, inside BandStore_
  std::vector<std::uint32_t> BandFirst_;              // per band, where its walkers start in BandDraws_ (+1 end)
  std::vector<std::uint32_t> BandCursor_;             // scratch for sorting walkers into bands
  std::vector<std::uint32_t> BandDraws_;              // indices into Draws_, band by band, in walker order
  std::vector<std::int32_t> BandLeft_, BandRight_;    // columns that may differ from white, now or before
  std::vector<std::int32_t> DrawnLeft_, DrawnRight_;  // columns the last frame's walkers drew on, per band

  // Per sheet column of every kind, the frame in chunks (see compositor.cpp
  // for what a pool pixel holds).
  std::vector<TFrameChunks> Frames_;
  std::vector<std::uint32_t> RowChunk_;
  std::vector<TChunk> Chunks_;
  std::vector<std::uint32_t> PoolStore_;
  const std::uint32_t* Pool_ = nullptr;  // inside PoolStore_, 64-byte aligned

  std::vector<TDraw> Draws_;  // this frame's walkers, capacity MaxWalkers
  std::size_t DrawCount_ = 0;
  std::vector<TRect> Previous_;  // what the last frame drew, capacity MaxWalkers
  std::size_t PreviousCount_ = 0;
  std::vector<TRect> Damage_;  // capacity 2 x MaxWalkers
  std::size_t DamageCount_ = 0;
  bool FirstFrame_ = true;
};

}  // namespace quillfen
