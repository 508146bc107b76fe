// quillfen-render as users call it: arguments, exit codes, messages, and
// the pictures it writes compared with the compositor run in this process.
#include <dirent.h>
#include <fcntl.h>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "anim/bitmap.h"
#include "anim/compositor.h"
#include "anim/walkers.h"
#include "res/embedded_art.h"

using namespace quillfen;

namespace {

struct TRun {
  int ExitCode = -1;
  std::string Stderr;
};

TRun Render(const std::vector<std::string>& args, std::string program = QF_RENDER) {
  std::vector<char*> argv;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  int err[2];
  if (pipe(err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(err[1], 2);
    close(err[0]);
    close(err[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(err[1]);
  TRun run;
  char buf[512];
  for (ssize_t n; (n = read(err[0], buf, sizeof buf)) > 0;) run.Stderr.append(buf, static_cast<std::size_t>(n));
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

class RenderTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillfen-render-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Dir = pattern;
  }
  void TearDown() override {
    for (const auto& name : Files()) unlink((Dir + "/" + name).c_str());
    rmdir(Dir.c_str());
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(Dir.c_str())) {
      while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(d);
    }
    return names;
  }
  std::string Dir;
};

// What the saver would show after `ticks` ticks.
std::unique_ptr<TCompositor> Expected(std::int32_t w, std::int32_t h, std::uint32_t seed, std::int32_t walkers,
                                      int ticks, bool smallFieldRule = true) {
  const TDecodedBitmap sheet = DecodeBitmap(SpriteSheetBitmap(), SheetWidth, SheetHeight);
  EXPECT_TRUE(sheet.Ok()) << sheet.Error;
  auto field = std::make_unique<WalkerField>();
  StartField(*field, w, h, seed);
  const std::int32_t count = smallFieldRule ? ApplySmallFieldRule(walkers, w) : walkers;
  auto c = std::make_unique<TCompositor>(sheet.Image, w, h);
  for (int t = 0; t < ticks; ++t) c->ComposeFrame(*field, count);
  return c;
}

std::vector<std::uint8_t> ReadPngRgb(const std::string& path, std::uint32_t& w, std::uint32_t& h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  w = image.width;
  h = image.height;
  return rgb;
}

TEST_F(RenderTool, BadArgumentsGiveOneLineNamingThemAndExitStatus2) {
  const std::string out = Dir + "/out.png";
  const struct {
    std::vector<std::string> args;
    const char* named;
  } cases[] = {
      {{}, "--size"},
      {{"--seed", "1", "--png", out}, "--size"},
      {{"--size", "10x10", "--png", out}, "--seed"},
      {{"--size", "10x10", "--seed", "1"}, "--png"},
      {{"--size", "10x10", "--seed", "1", "--png", out, "--gif", out}, "--gif"},
      {{"--size", "0x10", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "10x0", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "10", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "10x", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "-5x10", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "16385x10", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "10X10", "--seed", "1", "--png", out}, "--size"},
      {{"--size", "10x10", "--seed", "-1", "--png", out}, "--seed"},
      {{"--size", "10x10", "--seed", "4294967296", "--png", out}, "--seed"},
      {{"--size", "10x10", "--seed", "12a", "--png", out}, "--seed"},
      {{"--size", "10x10", "--seed", "", "--png", out}, "--seed"},
      {{"--size", "10x10", "--seed", "1", "--walkers", "2147483648", "--png", out}, "--walkers"},
      {{"--size", "10x10", "--seed", "1", "--walkers", "twelve", "--png", out}, "--walkers"},
      {{"--size", "10x10", "--seed", "1", "--ticks", "0", "--png", out}, "--ticks"},
      {{"--size", "10x10", "--seed", "1", "--ticks", "-2", "--png", out}, "--ticks"},
      {{"--size", "10x10", "--seed", "1", "--seed", "2", "--png", out}, "--seed"},
      {{"--size", "10x10", "--seed", "1", "--png"}, "--png"},
      {{"--size", "10x10", "--seed", "1", "--png", ""}, "--png"},
      {{"--size", "10x10", "--seed", "1", "--png", out, "--frobnicate"}, "--frobnicate"},
      {{"--size", "10x10", "--seed", "1", "--png", out, "extra"}, "extra"},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += "[" + a + "] ";
    SCOPED_TRACE(line);
    const TRun r = Render(c.args);
    EXPECT_EQ(r.ExitCode, 2);
    ASSERT_FALSE(r.Stderr.empty());
    EXPECT_EQ(r.Stderr.find('\n'), r.Stderr.size() - 1) << r.Stderr;
    EXPECT_NE(r.Stderr.find(c.named), std::string::npos) << r.Stderr;
    EXPECT_TRUE(Files().empty());
  }
}

TEST_F(RenderTool, AnUnwritableFileGivesTheSystemsReasonAndExitStatus1) {
  ASSERT_EQ(mkdir((Dir + "/taken").c_str(), 0755), 0);
  {
    std::FILE* f = std::fopen((Dir + "/plain").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  const struct {
    std::string path, reason;
  } cases[] = {
      {Dir + "/missing/out.png", "No such file or directory"},
      {Dir + "/plain/out.png", "Not a directory"},
      {Dir + "/taken", "Is a directory"},
  };
  for (const auto& c : cases) {
    for (const char* format : {"--png", "--gif"}) {
      SCOPED_TRACE(c.path + " " + format);
      const TRun r = Render({"--size", "40x30", "--seed", "1", format, c.path});
      EXPECT_EQ(r.ExitCode, 1);
      EXPECT_NE(r.Stderr.find(c.path), std::string::npos) << r.Stderr;
      EXPECT_NE(r.Stderr.find(c.reason), std::string::npos) << r.Stderr;
      auto files = Files();
      std::sort(files.begin(), files.end());
      EXPECT_EQ(files, (std::vector<std::string>{"plain", "taken"})) << "no temporary file may stay behind";
    }
  }
  rmdir((Dir + "/taken").c_str());
}

TEST_F(RenderTool, ThePngHoldsExactlyTheComposedFrame) {
  const struct {
    std::int32_t w, h;
    std::uint32_t seed;
    const char* walkers;  // null: the default
    int ticks;
  } cases[] = {
      {800, 600, 1, nullptr, 1}, {640, 400, 4294967295u, "40", 5}, {300, 200, 7, "1000", 3},
      {1, 1, 2, "12", 2},        {700, 300, 9, "-5", 1},           {520, 240, 123456, "+3", 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " seed " << c.seed);
    const std::string out = Dir + "/frame.png";
    std::vector<std::string> args = {"--size",  std::to_string(c.w) + "x" + std::to_string(c.h),
                                     "--seed",  std::to_string(c.seed),
                                     "--ticks", std::to_string(c.ticks),
                                     "--png",   out};
    if (c.walkers) args.insert(args.end(), {"--walkers", c.walkers});
    const TRun r = Render(args);
    ASSERT_EQ(r.ExitCode, 0) << r.Stderr;
    EXPECT_TRUE(r.Stderr.empty());
    std::uint32_t w = 0, h = 0;
    const auto rgb = ReadPngRgb(out, w, h);
    ASSERT_EQ(w, static_cast<std::uint32_t>(c.w));
    ASSERT_EQ(h, static_cast<std::uint32_t>(c.h));
    const auto expected = Expected(c.w, c.h, c.seed, c.walkers ? std::atoi(c.walkers) : 12, c.ticks);
    const auto surface = expected->Surface();
    bool drawn = false;
    for (std::size_t i = 0; i < surface.size(); ++i) {
      const std::uint32_t got = static_cast<std::uint32_t>(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
      ASSERT_EQ(got, surface[i]) << "pixel " << i % static_cast<std::size_t>(c.w) << ", "
                                 << i / static_cast<std::size_t>(c.w);
      drawn = drawn || got != WhitePixel;
    }
    if (std::string(c.walkers ? c.walkers : "") == "-5") {
      EXPECT_FALSE(drawn) << "no walkers: the field stays white";
    } else if (c.w >= 300) {
      EXPECT_TRUE(drawn) << "walkers expected on the field";
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"frame.png"}));
    unlink(out.c_str());
  }
}

TEST_F(RenderTool, TheGifHasOneFramePerTickAtTheSaversPace) {
  const std::string out = Dir + "/walk.gif";
  const TRun r = Render({"--size", "600x300", "--seed", "5", "--walkers", "3", "--ticks", "10", "--gif", out});
  ASSERT_EQ(r.ExitCode, 0) << r.Stderr;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(out.c_str(), &error);
  ASSERT_NE(gif, nullptr) << GifErrorString(error);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
  EXPECT_EQ(gif->SWidth, 600);
  EXPECT_EQ(gif->SHeight, 300);
  EXPECT_EQ(gif->ImageCount, 10);
  int centiseconds = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    GraphicsControlBlock gcb{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
    centiseconds += gcb.DelayTime;
  }
  EXPECT_EQ(centiseconds, 48);  // 10 x 48 ms

  // Three walkers have few colours: the first frame is exact.
  const auto expected = Expected(600, 300, 5, 3, 1);
  const SavedImage& first = gif->SavedImages[0];
  ASSERT_EQ(first.ImageDesc.Width, 600);
  ASSERT_EQ(first.ImageDesc.Height, 300);
  const ColorMapObject* map = gif->SColorMap;
  ASSERT_NE(map, nullptr);
  for (std::size_t i = 0; i < expected->Surface().size(); ++i) {
    const GifColorType c = map->Colors[first.RasterBits[i]];
    ASSERT_EQ(static_cast<std::uint32_t>(c.Red) << 16 | c.Green << 8 | c.Blue, expected->Surface()[i]) << i;
  }
  DGifCloseFile(gif, &error);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0755);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return bytes;
  char buf[65536];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) bytes.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return bytes;
}

// True when the PNG at `path` holds exactly what the saver shows when it
// animates `walkers` walkers.
bool SameAsSaver(const std::string& path, std::int32_t w, std::int32_t h, std::uint32_t seed, std::int32_t walkers,
                 int ticks) {
  std::uint32_t pw = 0, ph = 0;
  const auto rgb = ReadPngRgb(path, pw, ph);
  if (pw != static_cast<std::uint32_t>(w) || ph != static_cast<std::uint32_t>(h)) return false;
  const auto expected = Expected(w, h, seed, walkers, ticks, false);
  const auto surface = expected->Surface();
  for (std::size_t i = 0; i < surface.size(); ++i) {
    const std::uint32_t got = static_cast<std::uint32_t>(rgb[3 * i]) << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
    if (got != surface[i]) return false;
  }
  return true;
}

TEST_F(RenderTool, WithoutWalkersTheCountComesFromTheSettingsFileAsInTheSaver) {
  const struct {
    const char* file;  // null: no file
    std::int32_t width;
    std::int32_t walkers;  // what the saver would animate
    const char* error;     // what its error box would say
  } cases[] = {
      {"300\r\n", 800, 300, ""},
      {"40", 800, 40, ""},
      {"$1F\nsecond line\n", 800, 31, ""},
      {nullptr, 800, 12, ""},
      {"300\r\n", 511, 1, ""},
      {"", 800, 0, "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています.\n"},
      {"abc\r\n", 800, 0, "'abc' は整数ではありません.\n"},
      {"abc\r\n", 511, 0, "'abc' は整数ではありません.\n"},  // no small-field rule after an error
      {"25 ", 800, 0, "'25 ' は整数ではありません.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    const std::string settings = Dir + "/walkers.txt";
    unlink(settings.c_str());
    if (c.file) WriteFile(settings, c.file);
    const std::string out = Dir + "/frame.png";
    const std::string size = std::to_string(c.width) + "x300";
    const TRun r = Render({"--size", size, "--seed", "5", "--ticks", "3", "--settings", settings, "--png", out});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Stderr, c.error);
    EXPECT_TRUE(SameAsSaver(out, c.width, 300, 5, c.walkers, 3));
    if (c.file) {
      EXPECT_EQ(ReadFile(settings), c.file);  // only read, never written
    }
  }
  // --walkers wins over the file.
  const std::string settings = Dir + "/walkers.txt";
  WriteFile(settings, "");
  const TRun r = Render({"--size", "600x300", "--seed", "5", "--walkers", "7", "--settings", settings, "--png",
                         Dir + "/frame.png"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Stderr, "");
  EXPECT_TRUE(SameAsSaver(Dir + "/frame.png", 600, 300, 5, 7, 1));
}

TEST_F(RenderTool, TheDefaultSettingsFileLiesBesideTheProgram) {
  const std::string program = Dir + "/quillfen-render";
  WriteFile(program, ReadFile(QF_RENDER));
  WriteFile(Dir + "/quillfen.ini", "40\r\n");
  const TRun r = Render({"--size", "800x300", "--seed", "8", "--png", Dir + "/frame.png"}, program);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_TRUE(SameAsSaver(Dir + "/frame.png", 800, 300, 8, 40, 1));
  // A folder of that name counts as no file.
  unlink((Dir + "/quillfen.ini").c_str());
  ASSERT_EQ(mkdir((Dir + "/quillfen.ini").c_str(), 0755), 0);
  const TRun d = Render({"--size", "800x300", "--seed", "8", "--png", Dir + "/frame.png"}, program);
  EXPECT_EQ(d.Stderr, "");
  EXPECT_TRUE(SameAsSaver(Dir + "/frame.png", 800, 300, 8, 12, 1));
  rmdir((Dir + "/quillfen.ini").c_str());
}

TEST_F(RenderTool, HelpIsNotAnError) {
  const TRun r = Render({"--help"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_TRUE(r.Stderr.empty());
}

}  // namespace
