// The Windows file layer: share mode 0, the read-only attribute, the replace
// step and the program's own path.
#if defined(_WIN32)

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "settings/settings_file.h"
#include "settings_support.h"

using namespace quillfen;
using namespace qftest;
using namespace std::string_literals;

namespace {

TEST(Win32Files, AFileOpenElsewhereCanBeNeitherReadNorWritten) {
  const struct {
    DWORD access;
    DWORD share;
  } others[] = {
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {GENERIC_READ | GENERIC_WRITE, 0},
      {GENERIC_WRITE, FILE_SHARE_READ},
  };
  for (const auto& other : others) {
    SCOPED_TRACE(std::to_string(other.access) + "/" + std::to_string(other.share));
    ScratchFolder folder;
    folder.WriteSettings("300\r\nkeep\r\n");
    ScratchFiles files(folder);
    TSettingsDialogModel before;  // a dialog opened before the other handle
    ASSERT_EQ(Outcome([&] { return before.DialogRead(files); }), "300");

    const HANDLE h = ::CreateFileA(folder.SettingsFile().c_str(), other.access, other.share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Outcome([&] { return WindowRead(files); }), OpenError(folder.SettingsFile()));
    TSettingsDialogModel during;
    EXPECT_EQ(Outcome([&] { return during.DialogRead(files); }), OpenError(folder.SettingsFile()));
    EXPECT_EQ(during.SettingsLines.Count(), 0u);
    EXPECT_EQ(Outcome([&] { before.DialogWrite(files, "40"); }), CreateError(folder.SettingsFile()));
    ::CloseHandle(h);

    EXPECT_EQ(folder.ReadSettings(), "300\r\nkeep\r\n");
    EXPECT_EQ(folder.Names(), "quillfen.ini");
    EXPECT_EQ(Outcome([&] { before.DialogWrite(files, "40"); }), "ok");
    EXPECT_EQ(Outcome([&] { return WindowRead(files); }), "40");
  }
}

TEST(Win32Files, OurReadSharesNothingWithASecondOpen) {
  // While our own unshared handle is open, a second open of any kind fails:
  // the same CreateFileA call the read and the write make.
  ScratchFolder folder;
  folder.WriteSettings("300\r\n");
  const std::string path = folder.SettingsFile();
  const HANDLE ours =
      ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(ours, INVALID_HANDLE_VALUE);
  ScratchFiles files(folder);
  EXPECT_EQ(Outcome([&] { return files.ReadWholeFile(path).size(); }), OpenError(path));
  EXPECT_EQ(Outcome([&] { files.WriteWholeFile(path, "40\r\n"); }), CreateError(path));
  ::CloseHandle(ours);
  EXPECT_EQ(files.ReadWholeFile(path), "300\r\n");
}

TEST(Win32Files, AReadOnlyFileIsACreateErrorAndStays) {
  ScratchFolder folder;
  folder.WriteSettings("300\r\nkeep\r\n");
  const std::string path = folder.SettingsFile();
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  ScratchFiles files(folder);
  TSettingsDialogModel dialog;
  EXPECT_EQ(Outcome([&] { return dialog.DialogRead(files); }), "300");
  EXPECT_EQ(Outcome([&] { dialog.DialogWrite(files, "40"); }), CreateError(path));
  EXPECT_EQ(dialog.SettingsLines.Get(0), "40");
  EXPECT_EQ(folder.ReadSettings(), "300\r\nkeep\r\n");
  EXPECT_EQ(folder.Names(), "quillfen.ini");
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(Outcome([&] { dialog.DialogWrite(files, "41"); }), "ok");
  EXPECT_EQ(folder.ReadSettings(), "41\r\nkeep\r\n");
}

TEST(Win32Files, TheNewTextReplacesTheOldFileWhole) {
  ScratchFolder folder;
  folder.WriteSettings("300\r\n" + std::string(10000, 'x') + "\r\n");
  // A new file left behind by a write that never finished is no obstacle.
  folder.Write("quillfen.ini.new" + std::to_string(::GetCurrentProcessId()), "stale");
  ScratchFiles files(folder);
  files.WriteWholeFile(folder.SettingsFile(), "40\r\n");
  EXPECT_EQ(folder.ReadSettings(), "40\r\n");
  EXPECT_EQ(folder.Names(), "quillfen.ini");
}

TEST(Win32Files, SettingsPathIsBesideTheRunningProgram) {
  TWin32FileAccess files;
  const std::string exe = files.ExecutablePath();
  ASSERT_GT(exe.size(), 3u);
  EXPECT_EQ(exe.substr(1, 2), ":\\");
  const std::string dir = exe.substr(0, exe.rfind('\\') + 1);
  EXPECT_EQ(_stricmp(exe.substr(dir.size()).c_str(), "quillfen_tests.exe"), 0) << exe;
  EXPECT_EQ(GetSettingsPath(files), dir + "quillfen.ini");
  EXPECT_NE(files.PathRules().IsLeadByte, nullptr);
}

}  // namespace

#endif
