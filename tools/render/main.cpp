// quillfen-render: runs the saver's start-up and ticks without a window and
// writes what it drew.
//
//   quillfen-render --size WxH --seed S [--walkers N] [--ticks T] (--png FILE | --gif FILE)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "anim/bitmap.h"
#include "anim/compositor.h"
#include "anim/walkers.h"
#include "app/errors.h"
#include "platform/x11/linux_files.h"
#include "res/embedded_art.h"
#include "saver/startup.h"
#include "settings/settings_file.h"
#include "tools/render/picture_files.h"

using namespace quillfen;

namespace {

// A surface of 16384 x 16384 already takes a gigabyte.
constexpr std::uint32_t MaxSide = 16384;

constexpr const char* Usage =
    "usage: quillfen-render --size WxH --seed S [--walkers N | --settings FILE] [--ticks T]\n"
    "                       (--png FILE | --gif FILE)\n"
    "  --size WxH       field size in pixels, each from 1 to 16384\n"
    "  --seed S         generator seed, 0 to 4294967295\n"
    "  --walkers N      walker count; fields narrower than 512 run one walker\n"
    "  --settings FILE  without --walkers: read the count from FILE as the saver reads\n"
    "                   its settings file (default: quillfen.ini beside this program)\n"
    "  --ticks T    ticks to run, at least 1 (default 1)\n"
    "  --png FILE   write the last frame as a PNG picture\n"
    "  --gif FILE   write every frame as an animated GIF at 48 ms per frame\n";

struct TOptions {
  std::int32_t Width = 0, Height = 0;
  std::uint32_t Seed = 0;
  std::optional<std::int32_t> Walkers;  // empty: from the settings file
  std::string Settings;
  std::int32_t Ticks = 1;
  std::string Png, Gif;
};

struct TUsageError {
  std::string Message;
};

// Decimal digits only, no sign, no blanks; nullopt on anything else or above `max`.
std::optional<std::uint64_t> Unsigned(std::string_view s, std::uint64_t max) {
  if (s.empty() || s.size() > 20) return std::nullopt;
  std::uint64_t v = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(ch - '0');
    if (v > max) return std::nullopt;
  }
  return v;
}

std::optional<std::int32_t> Signed32(std::string_view s) {
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  const auto v = Unsigned(s, negative ? 2147483648u : 2147483647u);
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(*v) : static_cast<std::int64_t>(*v));
}

std::string Quoted(std::string_view s) {
  return "\"" + std::string(s) + "\"";
}

TOptions ParseArguments(int argc, char** argv) {
  TOptions o;
  bool haveSize = false, haveSeed = false, haveWalkers = false, haveTicks = false, haveSettings = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&](bool& seen) -> std::string_view {
      if (seen) throw TUsageError{std::string(arg) + " given twice"};
      seen = true;
      if (i + 1 >= argc) throw TUsageError{std::string(arg) + " needs a value"};
      return argv[++i];
    };
    if (arg == "--size") {
      const std::string_view v = value(haveSize);
      const std::size_t x = v.find('x');
      const auto w = x == std::string_view::npos ? std::nullopt : Unsigned(v.substr(0, x), MaxSide);
      const auto h = x == std::string_view::npos ? std::nullopt : Unsigned(v.substr(x + 1), MaxSide);
      if (!w || !h || *w < 1 || *h < 1)
        throw TUsageError{"bad --size " + Quoted(v) + ": expected WxH, each from 1 to 16384"};
      o.Width = static_cast<std::int32_t>(*w);
      o.Height = static_cast<std::int32_t>(*h);
    } else if (arg == "--seed") {
      const std::string_view v = value(haveSeed);
      const auto s = Unsigned(v, 4294967295u);
      if (!s) throw TUsageError{"bad --seed " + Quoted(v) + ": expected a number from 0 to 4294967295"};
      o.Seed = static_cast<std::uint32_t>(*s);
    } else if (arg == "--walkers") {
      const std::string_view v = value(haveWalkers);
      const auto n = Signed32(v);
      if (!n) throw TUsageError{"bad --walkers " + Quoted(v) + ": expected a number from -2147483648 to 2147483647"};
      o.Walkers = *n;
    } else if (arg == "--settings") {
      const std::string_view v = value(haveSettings);
      if (v.empty()) throw TUsageError{"--settings needs a file name"};
      o.Settings = v;
    } else if (arg == "--ticks") {
      const std::string_view v = value(haveTicks);
      const auto t = Unsigned(v, 2147483647u);
      if (!t || *t < 1) throw TUsageError{"bad --ticks " + Quoted(v) + ": expected a number from 1 to 2147483647"};
      o.Ticks = static_cast<std::int32_t>(*t);
    } else if (arg == "--png" || arg == "--gif") {
      bool seen = !(arg == "--png" ? o.Png : o.Gif).empty();
      const std::string_view v = value(seen);
      if (v.empty()) throw TUsageError{std::string(arg) + " needs a file name"};
      (arg == "--png" ? o.Png : o.Gif) = v;
    } else {
      throw TUsageError{"unknown argument " + Quoted(arg)};
    }
  }
  if (!haveSize) throw TUsageError{"--size WxH is required"};
  if (!haveSeed) throw TUsageError{"--seed S is required"};
  if (o.Png.empty() && o.Gif.empty()) throw TUsageError{"--png FILE or --gif FILE is required"};
  if (!o.Png.empty() && !o.Gif.empty()) throw TUsageError{"--png and --gif cannot be used together"};
  return o;
}

// The system's file layer, with the settings file taken from --settings.
class TSettingsFileAt : public IFileAccess {
 public:
  TSettingsFileAt(IFileAccess& files, std::string settings)
      : files_(files), settings_(std::move(settings)), usual_(GetSettingsPath(files)) {}
  std::string ExecutablePath() override { return files_.ExecutablePath(); }
  TPathRules PathRules() override { return files_.PathRules(); }
  bool FileExists(const std::string& path) override { return files_.FileExists(Map(path)); }
  std::string ReadWholeFile(const std::string& path) override { return files_.ReadWholeFile(Map(path)); }
  void WriteWholeFile(const std::string& path, std::string_view bytes) override {
    files_.WriteWholeFile(Map(path), bytes);
  }
  std::string SystemTextToUtf8(std::string_view text) override { return files_.SystemTextToUtf8(text); }

 private:
  const std::string& Map(const std::string& path) const { return path == usual_ ? settings_ : path; }
  IFileAccess& files_;
  std::string settings_;
  std::string usual_;
};

// The saver window's start-up for the model: field size, seed, table, the
// count (given, or read as the saver reads it), and the narrow-field rule. A
// settings error is reported as the saver's error box would show it, and the
// run goes on with the count the saver would have: none.
std::int32_t StartUp(WalkerField& field, const TOptions& o) {
  if (o.Walkers) {
    StartField(field, o.Width, o.Height, o.Seed);
    return ApplySmallFieldRule(*o.Walkers, o.Width);
  }
  TLinuxFileAccess system;
  std::unique_ptr<IFileAccess> redirected;
  if (!o.Settings.empty()) redirected = std::make_unique<TSettingsFileAt>(system, o.Settings);
  std::int32_t count = 0;
  try {
    RunSaverStartup(field, count, o.Width, o.Height, o.Seed, redirected ? *redirected : system);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", ErrorDisplayText(e).c_str());
  }
  return count;
}

int Run(const TOptions& o) {
  const TDecodedBitmap sheet = DecodeBitmap(SpriteSheetBitmap(), SheetWidth, SheetHeight);
  if (!sheet.Ok()) {
    std::fprintf(stderr, "quillfen-render: the built-in sprite sheet is damaged: %s\n", sheet.Error.c_str());
    return 1;
  }
  auto field = std::make_unique<WalkerField>();
  const std::int32_t count = StartUp(*field, o);
  auto compositor = std::make_unique<TCompositor>(sheet.Image, o.Width, o.Height);

  TWriteResult result;
  if (!o.Png.empty()) {
    for (std::int32_t t = 0; t < o.Ticks; ++t) compositor->ComposeFrame(*field, count);
    result = WritePng(o.Png, *compositor);
  } else {
    // The GIF's colour table comes from a first run over the same ticks.
    TGifWriter gif;
    for (std::int32_t t = 0; t < o.Ticks; ++t) {
      compositor->ComposeFrame(*field, count);
      gif.CountColours(*compositor);
    }
    field = std::make_unique<WalkerField>();
    StartField(*field, o.Width, o.Height, o.Seed);  // the count is known by now
    compositor = std::make_unique<TCompositor>(sheet.Image, o.Width, o.Height);
    result = gif.Begin(o.Gif, o.Width, o.Height);
    for (std::int32_t t = 0; t < o.Ticks && result.Ok(); ++t) {
      compositor->ComposeFrame(*field, count);
      result = gif.AddFrame(*compositor, t);
    }
    result = gif.Finish(result);
  }
  if (!result.Ok()) {
    std::fprintf(stderr, "quillfen-render: %s\n", result.Error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(Usage, stdout);
      return 0;
    }
  }
  TOptions options;
  try {
    options = ParseArguments(argc, argv);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "quillfen-render: %s\n", e.Message.c_str());
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quillfen-render: not enough memory for a %dx%d field\n", options.Width, options.Height);
    return 1;
  }
}
