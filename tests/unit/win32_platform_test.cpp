// The Win32 platform's own rules: how registry values read as integers, how
// window handles from the command line widen, and the default title.
#if defined(_WIN32)

#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/registry.h"
#include "platform/win32/text.h"

using namespace quillfen;
using namespace quillfen::win32;

namespace {

// A key of our own below HKEY_CURRENT_USER, removed again.
class ScratchKey {
 public:
  ScratchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Path);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  ~ScratchKey() {
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, Path);
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  HKEY Get() const { return key_; }
  static constexpr const wchar_t* Path = L"Software\\QuillfenTests\\Desktop";

 private:
  HKEY key_ = nullptr;
};

TEST(Win32Registry, ValuesReadAsFourByteIntegers) {
  const struct {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    TRegValueKind kind;
    std::uint32_t value;
  } cases[] = {
      {"dword 1", REG_DWORD, {1, 0, 0, 0}, TRegValueKind::Dword, 1},
      {"dword -1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, TRegValueKind::Dword, 0xFFFFFFFFu},
      {"dword of two bytes", REG_DWORD, {2, 1}, TRegValueKind::Dword, 0x0102},
      {"dword of no bytes", REG_DWORD, {}, TRegValueKind::Dword, 0},
      {"big-endian dword", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, TRegValueKind::WrongType, 0},
      {"string 1", REG_SZ, {'1', 0}, TRegValueKind::WrongType, 0},
      {"long string", REG_SZ, {'1', '2', '3', '4', '5', 0}, TRegValueKind::TooLong, 0},
      {"four raw bytes", REG_BINARY, {1, 0, 0, 0}, TRegValueKind::WrongType, 0},
      {"five raw bytes", REG_BINARY, {1, 0, 0, 0, 0}, TRegValueKind::TooLong, 0},
      {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, TRegValueKind::TooLong, 0},
  };
  ScratchKey key;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(
        RegSetValueExA(key.Get(), "ScreenSaveUsePassword", 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
        ERROR_SUCCESS);
    const TRegValue read = ReadRegistryInteger(key.Get(), "ScreenSaveUsePassword");
    EXPECT_EQ(read.Kind, c.kind);
    EXPECT_EQ(read.Data, c.value);
  }
  RegDeleteValueA(key.Get(), "ScreenSaveUsePassword");
  EXPECT_EQ(ReadRegistryInteger(key.Get(), "ScreenSaveUsePassword").Kind, TRegValueKind::Missing);
}

TEST(Win32Registry, KeysOpenWithOrWithoutALeadingBackslashAndAreNeverCreated) {
  ScratchKey key;
  for (const char* path : {"Software\\QuillfenTests\\Desktop", "\\Software\\QuillfenTests\\Desktop"}) {
    SCOPED_TRACE(path);
    const HKEY opened = OpenRegistryKey(HKEY_CURRENT_USER, path);
    EXPECT_NE(opened, nullptr);
    if (opened != nullptr) RegCloseKey(opened);
  }
  EXPECT_EQ(OpenRegistryKey(HKEY_CURRENT_USER, "Software\\QuillfenTests\\Missing"), nullptr);
  HKEY probe = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QuillfenTests\\Missing", 0, KEY_READ, &probe), ERROR_SUCCESS);
}

TEST(Win32Handles, CommandLineHandlesWidenBySignExtension) {
  const struct {
    std::uint32_t fromCommandLine;
    std::int64_t pointer;
  } cases[] = {
      {0x00020054u, 0x00020054}, {0x7FFFFFFFu, 0x7FFFFFFF}, {0x80000000u, -0x80000000LL}, {0xFFFFFFFFu, -1}, {0u, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fromCommandLine);
    const HWND w = ToHwnd(c.fromCommandLine);
    EXPECT_EQ(static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(w)), c.pointer);
    EXPECT_EQ(FromHwnd(w), c.fromCommandLine);
  }
  // Only the low 32 bits of our handle count, as they do for the system.
  EXPECT_EQ(ToHwnd(0x100020054ull), ToHwnd(0x00020054u));
}

TEST(Win32Title, TheProgramNameWithoutItsSuffix) {
  const struct {
    const char* path;
    const char* title;
  } cases[] = {
      {"C:\\Windows\\System32\\quillfen.scr", "quillfen"},
      {"C:\\Savers.old\\Quillfen", "Quillfen"},
      {"D:quillfen.v2.scr", "quillfen.v2"},
      {"\\\\server\\share\\tin kite.scr", "tin kite"},
      {"quillfen.", "quillfen"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(TitleFromModulePath(c.path), c.title);
  }
}

TEST(Win32Text, MessagesSurviveTheWayToTheSystemAndBack) {
  for (const std::string text : {"'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です.", "tin kite", ""}) {
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
  }
  EXPECT_EQ(Utf8ToWide("ﾘｽﾄ"), L"\uFF98\uFF7D\uFF84");
}

}  // namespace

#endif
