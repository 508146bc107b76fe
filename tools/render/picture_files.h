// Writing the compositor's frames as PNG and animated GIF files. Each file is
// written under a temporary name beside its target and renamed when
// complete, so a failed run never leaves half a picture behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "anim/compositor.h"

struct GifFileType;

namespace quillfen {

struct TWriteResult {
  std::string Error;  // "FILE: reason" when writing failed
  bool Ok() const noexcept { return Error.empty(); }
};

// A file that appears under its name only when Commit succeeds.
class TAtomicFile {
 public:
  TAtomicFile() = default;
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;
  ~TAtomicFile();

  TWriteResult Open(const std::string& path);
  // Writes everything or records why not; later writes then do nothing.
  void Write(const void* data, std::size_t size);
  TWriteResult Commit();
  // Drops the file; the reason is the recorded write error, if any, else `why`.
  TWriteResult Fail(const std::string& why);

 private:
  void Discard();
  std::string Path_, TempPath_;
  std::FILE* File_ = nullptr;
  int Errno_ = 0;
};

// The surface as 8-bit RGB.
TWriteResult WritePng(const std::string& path, const TCompositor& frame);

// An animated GIF, one frame per tick, with one colour table for all of them.
class TGifWriter {
 public:
  TGifWriter() = default;
  TGifWriter(const TGifWriter&) = delete;
  TGifWriter& operator=(const TGifWriter&) = delete;
  ~TGifWriter();

  // First pass: how often each colour appears in the changed parts.
  void CountColours(const TCompositor& frame);
  TWriteResult Begin(const std::string& path, std::int32_t width, std::int32_t height);
  // Frame `tick` (from 0), shown for 48 ms on average.
  TWriteResult AddFrame(const TCompositor& frame, std::int32_t tick);
  // Closes the file; keeps it only when `sofar` and the close succeeded.
  TWriteResult Finish(TWriteResult sofar);

 private:
  std::uint8_t IndexOf(std::uint32_t colour);
  TWriteResult GifError(int code);

  std::unordered_map<std::uint32_t, std::uint64_t> Counts_;
  std::vector<std::uint32_t> Palette_;
  std::unordered_map<std::uint32_t, std::uint8_t> Index_;
  std::uint8_t Transparent_ = 0;
  std::vector<std::uint32_t> Previous_;
  std::vector<std::uint8_t> Line_;
  std::int32_t Width_ = 0, Height_ = 0;
  TAtomicFile File_;
  GifFileType* Gif_ = nullptr;
};

}  // namespace quillfen
