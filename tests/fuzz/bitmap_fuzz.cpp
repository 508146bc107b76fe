// Random bytes into the bitmap loader: no crash, no read past the input, and
// an accepted image always has the size asked for and colours from 24 bits.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "anim/bitmap.h"

using namespace quillfen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the size asked for; the rest is the file.
  const std::int32_t w = data[0] % 16 + 1, h = data[1] % 16 + 1;
  std::vector<std::uint8_t> file(data + 2, data + size);  // exactly sized, so ASan sees overreads
  const TDecodedBitmap r = DecodeBitmap(file, w, h);
  if (r.Ok()) {
    if (r.Image.Width != w || r.Image.Height != h) std::abort();
    if (r.Image.Pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) std::abort();
    for (std::uint32_t p : r.Image.Pixels)
      if (p > 0x00FFFFFFu) std::abort();
  } else if (r.Error.empty() || !r.Image.Pixels.empty()) {
    std::abort();
  }
  return 0;
}
