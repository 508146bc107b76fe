#include "tools/render/picture_files.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>

namespace quillfen {

// ---- TAtomicFile

TAtomicFile::~TAtomicFile() {
  Discard();
}

void TAtomicFile::Discard() {
  if (File_) {
    std::fclose(File_);
    File_ = nullptr;
    unlink(TempPath_.c_str());
  }
}

TWriteResult TAtomicFile::Open(const std::string& path) {
  Path_ = path;
  TempPath_ = path + ".XXXXXX";
  const int fd = mkstemp(TempPath_.data());
  if (fd < 0) return {path + ": " + std::strerror(errno)};
  // mkstemp makes the file private; give it the mode a plain create would.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  File_ = fdopen(fd, "wb");
  if (!File_) {
    const int e = errno;
    close(fd);
    unlink(TempPath_.c_str());
    return {path + ": " + std::strerror(e)};
  }
  Errno_ = 0;
  return {};
}

void TAtomicFile::Write(const void* data, std::size_t size) {
  if (!File_ || Errno_ != 0 || size == 0) return;
  errno = 0;
  if (std::fwrite(data, 1, size, File_) != size) Errno_ = errno ? errno : EIO;
}

TWriteResult TAtomicFile::Commit() {
  if (!File_) return {Path_ + ": not open"};
  if (Errno_ == 0 && std::fflush(File_) != 0) Errno_ = errno ? errno : EIO;
  if (Errno_ == 0 && fsync(fileno(File_)) != 0 && errno != EINVAL) Errno_ = errno;
  const int closed = std::fclose(File_);
  File_ = nullptr;
  if (Errno_ == 0 && closed != 0) Errno_ = errno ? errno : EIO;
  if (Errno_ == 0 && std::rename(TempPath_.c_str(), Path_.c_str()) != 0) Errno_ = errno;
  if (Errno_ != 0) {
    unlink(TempPath_.c_str());
    return {Path_ + ": " + std::strerror(Errno_)};
  }
  return {};
}

TWriteResult TAtomicFile::Fail(const std::string& why) {
  const int e = Errno_;
  Discard();
  return {Path_ + ": " + (e != 0 ? std::string(std::strerror(e)) : why)};
}

// ---- PNG

namespace {

struct TPngSink {
  TAtomicFile* File;
};

void PngWrite(png_structp png, png_bytep data, png_size_t size) {
  static_cast<TPngSink*>(png_get_io_ptr(png))->File->Write(data, size);
}
void PngFlush(png_structp) {}

// Kept apart from any object with a destructor: libpng leaves by longjmp.
bool EncodePng(TPngSink* sink, const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
               std::uint8_t* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, sink, PngWrite, PngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint32_t* p = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(p[x] >> 16);
      row[3 * x + 1] = static_cast<std::uint8_t>(p[x] >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(p[x]);
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

TWriteResult WritePng(const std::string& path, const TCompositor& frame) {
  TAtomicFile file;
  if (TWriteResult r = file.Open(path); !r.Ok()) return r;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(frame.Width()) * 3);
  TPngSink sink{&file};
  if (!EncodePng(&sink, frame.Pixels(), frame.Width(), frame.Height(), row.data()))
    return file.Fail("the PNG encoder failed");
  return file.Commit();
}

// ---- GIF

namespace {

int GifWrite(GifFileType* gif, const GifByteType* data, int size) {
  static_cast<TAtomicFile*>(gif->UserData)->Write(data, static_cast<std::size_t>(size));
  return size;
}

std::int32_t CentisecondsAfter(std::int32_t tick) {
  // 48 ms is 4.8 cs: round the running total so that the average stays exact.
  const auto total = [](std::int64_t t) { return (t * 48 + 5) / 10; };
  return static_cast<std::int32_t>(total(tick + 1) - total(tick));
}

}  // namespace

TGifWriter::~TGifWriter() {
  if (Gif_) {
    int error = 0;
    EGifCloseFile(Gif_, &error);
  }
}

void TGifWriter::CountColours(const TCompositor& frame) {
  const std::uint32_t* s = frame.Pixels();
  for (const TRect& r : frame.Damage()) {
    for (std::int32_t y = r.Top; y < r.Top + r.Height; ++y) {
      const std::uint32_t* row = s + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.Width());
      for (std::int32_t x = r.Left; x < r.Left + r.Width; ++x) ++Counts_[row[x]];
    }
  }
}

std::uint8_t TGifWriter::IndexOf(std::uint32_t colour) {
  if (const auto it = Index_.find(colour); it != Index_.end()) return it->second;
  // Only when the frames hold more than 255 colours: the nearest one.
  std::size_t best = 0;
  std::int64_t bestDistance = -1;
  for (std::size_t i = 0; i < Palette_.size(); ++i) {
    const std::int64_t dr = static_cast<std::int64_t>(Palette_[i] >> 16 & 0xFF) - (colour >> 16 & 0xFF);
    const std::int64_t dg = static_cast<std::int64_t>(Palette_[i] >> 8 & 0xFF) - (colour >> 8 & 0xFF);
    const std::int64_t db = static_cast<std::int64_t>(Palette_[i] & 0xFF) - (colour & 0xFF);
    const std::int64_t d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  const auto index = static_cast<std::uint8_t>(best);
  Index_.emplace(colour, index);
  return index;
}

TWriteResult TGifWriter::GifError(int code) {
  return {std::string("GIF encoder: ") + GifErrorString(code)};
}

TWriteResult TGifWriter::Begin(const std::string& path, std::int32_t width, std::int32_t height) {
  Width_ = width;
  Height_ = height;
  // The most frequent colours, white always among them; index 255 or the
  // one after the last colour marks pixels unchanged since the frame before.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> byCount;
  for (const auto& [colour, n] : Counts_) byCount.emplace_back(colour == WhitePixel ? UINT64_MAX : n, colour);
  if (Counts_.find(WhitePixel) == Counts_.end()) byCount.emplace_back(UINT64_MAX, WhitePixel);
  std::sort(byCount.begin(), byCount.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
  for (std::size_t i = 0; i < byCount.size() && i < 255; ++i) {
    Index_.emplace(byCount[i].second, static_cast<std::uint8_t>(Palette_.size()));
    Palette_.push_back(byCount[i].second);
  }
  Transparent_ = static_cast<std::uint8_t>(Palette_.size());
  int tableSize = 2;
  while (tableSize < static_cast<int>(Palette_.size()) + 1) tableSize *= 2;
  std::vector<GifColorType> colours(static_cast<std::size_t>(tableSize), GifColorType{255, 255, 255});
  for (std::size_t i = 0; i < Palette_.size(); ++i)
    colours[i] = {static_cast<GifByteType>(Palette_[i] >> 16), static_cast<GifByteType>(Palette_[i] >> 8),
                  static_cast<GifByteType>(Palette_[i])};

  if (TWriteResult r = File_.Open(path); !r.Ok()) return r;
  int error = 0;
  Gif_ = EGifOpen(&File_, GifWrite, &error);
  if (!Gif_) return GifError(error);
  EGifSetGifVersion(Gif_, true);
  ColorMapObject* map = GifMakeMapObject(tableSize, colours.data());
  if (!map) return {"GIF encoder: out of memory"};
  int bits = 1;
  while ((1 << bits) < tableSize) ++bits;
  const int put = EGifPutScreenDesc(Gif_, width, height, bits, 0, map);
  GifFreeMapObject(map);
  if (put == GIF_ERROR) return GifError(Gif_->Error);
  // Loop for ever.
  const unsigned char loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(Gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(Gif_, 11, "NETSCAPE2.0") == GIF_ERROR ||
      EGifPutExtensionBlock(Gif_, 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(Gif_) == GIF_ERROR)
    return GifError(Gif_->Error);
  Previous_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  Line_.resize(static_cast<std::size_t>(width));
  return {};
}

TWriteResult TGifWriter::AddFrame(const TCompositor& frame, std::int32_t tick) {
  const std::uint32_t* s = frame.Pixels();
  const std::size_t w = static_cast<std::size_t>(Width_);
  // The part that changed: everything on the first frame.
  std::int32_t left = 0, top = 0, right = Width_, bottom = Height_;
  if (tick > 0) {
    left = Width_;
    top = Height_;
    right = bottom = 0;
    for (const TRect& r : frame.Damage()) {
      for (std::int32_t y = r.Top; y < r.Top + r.Height; ++y) {
        for (std::int32_t x = r.Left; x < r.Left + r.Width; ++x) {
          const std::size_t at = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
          if (s[at] == Previous_[at]) continue;
          left = std::min(left, x);
          right = std::max(right, x + 1);
          top = std::min(top, y);
          bottom = std::max(bottom, y + 1);
        }
      }
    }
    if (left >= right) left = top = 0, right = bottom = 1;  // nothing changed: one clear pixel
  }

  GraphicsControlBlock gcb{};
  gcb.DisposalMode = DISPOSE_DO_NOT;
  gcb.UserInputFlag = false;
  gcb.DelayTime = CentisecondsAfter(tick);
  gcb.TransparentColor = tick > 0 ? Transparent_ : NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  EGifGCBToExtension(&gcb, extension);
  if (EGifPutExtension(Gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR ||
      EGifPutImageDesc(Gif_, left, top, right - left, bottom - top, false, nullptr) == GIF_ERROR)
    return GifError(Gif_->Error);
  for (std::int32_t y = top; y < bottom; ++y) {
    for (std::int32_t x = left; x < right; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
      const bool same = tick > 0 && s[at] == Previous_[at];
      Line_[static_cast<std::size_t>(x - left)] = same ? Transparent_ : IndexOf(s[at]);
      Previous_[at] = s[at];
    }
    if (EGifPutLine(Gif_, Line_.data(), right - left) == GIF_ERROR) return GifError(Gif_->Error);
  }
  return {};
}

TWriteResult TGifWriter::Finish(TWriteResult sofar) {
  int error = 0;
  const int closed = Gif_ ? EGifCloseFile(Gif_, &error) : GIF_OK;
  Gif_ = nullptr;
  if (!sofar.Ok()) return File_.Fail(sofar.Error);
  if (closed == GIF_ERROR) return File_.Fail(std::string("GIF encoder: ") + GifErrorString(error));
  return File_.Commit();
}

}  // namespace quillfen
