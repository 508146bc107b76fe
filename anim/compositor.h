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
// or plain code (the same result; tests compare both).
enum class TBlendKernel { Fastest, Portable };

// Owns the drawing surface (Width x Height pixels 0x00RRGGBB, rows top-down,
// stride = Width) and the sprite sheet in a form that is quick to draw from.
// Both are allocated by the constructor; a frame allocates nothing.
class TCompositor {
 public:
  // `sheet` must be SheetWidth x SheetHeight with pure black or pure white
  // pixels under every frame's mask (throws std::invalid_argument otherwise).
  // A width or height below 1 gives a surface without pixels.
  TCompositor(const TImage& sheet, std::int32_t width, std::int32_t height,
              TBlendKernel kernel = TBlendKernel::Fastest);

  // The composition of one tick: every pixel becomes white, then
  // `field.StepWalkers(walkerCount, ...)` runs and each walker it draws is
  // ORed with its mask and ANDed with its frame, clipped to the surface, in
  // walker order. The result is bit-identical to doing exactly that; it only
  // avoids touching pixels that are known to be white already.
  void ComposeFrame(WalkerField& field, std::int32_t walkerCount) noexcept;

  std::int32_t Width() const noexcept { return Width_; }
  std::int32_t Height() const noexcept { return Height_; }
  const std::uint32_t* Pixels() const noexcept { return Surface_.data(); }
  std::span<const std::uint32_t> Surface() const noexcept { return Surface_; }

  // Rectangles, inside the surface, outside of which the last ComposeFrame
  // left every pixel as the one before it had. The whole surface after the
  // first frame, and whenever the changes cover much of it; otherwise what
  // the walkers covered on the last two frames (up to 2 x MaxWalkers entries,
  // possibly overlapping). Empty when nothing changed.
  std::span<const TRect> Damage() const noexcept { return {Damage_.data(), DamageCount_}; }

 private:
  struct TRowSpan {
    std::int32_t Begin = 0, End = 0;  // columns of the frame that can change the surface
    std::uint32_t Offset = 0;         // where pixel Begin lies in Pool_
  };
  struct TFrameRuns {
    std::int32_t Width = 0, Height = 0;
    TRect Content;  // bounding box of all row spans, in frame coordinates
    std::uint32_t FirstRow = 0;
  };
  struct TDraw {
    const TFrameRuns* Frame;
    std::int32_t X, Y;
    TRect Clip;  // the content box on the surface, clipped
  };

  void DrawWalker(int kind, int frame, std::int32_t x, std::int32_t y) noexcept;
  void ClearBand(std::int32_t top, std::int32_t bottom) noexcept;
  void DrawBand(const TDraw& d, std::int32_t top, std::int32_t bottom) noexcept;
  void CollectDamage() noexcept;

  bool Wide_ = false;
  std::int32_t Width_ = 0, Height_ = 0;
  std::vector<std::uint32_t> Surface_;

  // Per sheet column of every kind: the frame pixel, with the top bit set
  // where the mask is white (copy) and clear where it is black (AND).
  std::vector<TFrameRuns> Frames_;
  std::vector<TRowSpan> Rows_;
  std::vector<std::uint32_t> Pool_;

  std::vector<TDraw> Draws_;  // this frame's walkers, capacity MaxWalkers
  std::size_t DrawCount_ = 0;
  std::vector<TRect> Previous_;  // what the last frame drew, capacity MaxWalkers
  std::size_t PreviousCount_ = 0;
  std::vector<TRect> Damage_;  // capacity 2 x MaxWalkers
  std::size_t DamageCount_ = 0;
  bool FirstFrame_ = true;
};

}  // namespace quillfen
