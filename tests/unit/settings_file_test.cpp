// The saver window's read, the setup dialog's read and write and the saver's
// start-up, against real files in a scratch folder, on every platform.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "saver/startup.h"
#include "settings_support.h"

using namespace quillfen;
using namespace qftest;
using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

TEST(SettingsReads, EachFileGivesTheSameOutcomeToBothReads) {
  const struct {
    std::string bytes;
    std::string outcome;
    Lines dialogLines;  // SettingsLines afterwards
  } cases[] = {
      {"300\r\n"s, "300", {"300"}},
      {"300"s, "300", {"300"}},
      {"300\n"s, "300", {"300"}},
      {"300\r"s, "300", {"300"}},
      {"300\n\r"s, "300", {"300", ""}},
      {" 25\r\n"s, "25", {" 25"}},
      {"25 \r\n"s, ConvertError("25 "), {"25 "}},
      {"\t25\r\n"s, ConvertError("\t25"), {"\t25"}},
      {"-5\r\n"s, "-5", {"-5"}},
      {"0\r\n"s, "0", {"0"}},
      {"$1F\r\n"s, "31", {"$1F"}},
      {"x1F\r\n"s, "31", {"x1F"}},
      {"0x1F\r\n"s, "31", {"0x1F"}},
      {"-$1F\r\n"s, ConvertError("-$1F"), {"-$1F"}},
      {"$FFFFFFFF"s, "-1", {"$FFFFFFFF"}},
      {"2147483647\r\n"s, "2147483647", {"2147483647"}},
      {"2147483648\r\n"s, ConvertError("2147483648"), {"2147483648"}},
      {"-2147483648\r\n"s, "-2147483648", {"-2147483648"}},
      {"5000\r\n"s, "5000", {"5000"}},  // no limit on the way in
      {"twelve\r\n"s, ConvertError("twelve"), {"twelve"}},
      {""s, ListError, {}},
      {"\0"s, ListError, {}},
      {"\0"
       "300\r\n"s,
       ListError,
       {}},
      {"300\0"
       "junk\r\nmore"s,
       "300",
       {"300"}},
      {"\r\n5\r\n"s, ConvertError(""), {"", "5"}},
      {"\n"s, ConvertError(""), {""}},
      {"7\nalpha\nbeta"s, "7", {"7", "alpha", "beta"}},
      {"7\r\n\0"s, "7", {"7"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    ScratchFolder folder;
    folder.WriteSettings(c.bytes);
    ScratchFiles files(folder);
    EXPECT_EQ(Outcome([&] { return WindowRead(files); }), c.outcome);

    TSettingsDialogModel dialog;
    EXPECT_EQ(Outcome([&] { return dialog.DialogRead(files); }), c.outcome);
    EXPECT_EQ(dialog.SettingsPath, folder.SettingsFile());
    EXPECT_EQ(dialog.SettingsLines.Strings(), c.dialogLines);
    // Reading changes nothing on disk.
    EXPECT_EQ(folder.ReadSettings(), c.bytes);
  }
}

TEST(SettingsReads, NoFileOrAFolderOfThatNameGivesTheDefault) {
  for (const bool folderOfThatName : {false, true}) {
    SCOPED_TRACE(folderOfThatName);
    ScratchFolder folder;
    if (folderOfThatName) fs::create_directory(folder.Path() / "quillfen.ini");
    ScratchFiles files(folder);
    EXPECT_FALSE(files.FileExists(folder.SettingsFile()));
    EXPECT_EQ(Outcome([&] { return WindowRead(files); }), "12");

    TSettingsDialogModel dialog;
    dialog.SettingsLines.Add("stale");
    EXPECT_EQ(Outcome([&] { return dialog.DialogRead(files); }), "none");
    EXPECT_EQ(dialog.SettingsPath, folder.SettingsFile());
    EXPECT_EQ(dialog.SettingsLines.Strings(), Lines{"12"});
    EXPECT_EQ(folder.Names(), folderOfThatName ? "quillfen.ini" : "");
  }
}

TEST(SettingsWrite, EditTextBecomesLineOneAndTheOtherLinesSurvive) {
  const struct {
    std::optional<std::string> before;  // none: no file
    std::string editText;
    std::string after;
  } cases[] = {
      {std::nullopt, "40", "40\r\n"},         {"7\nalpha\nbeta"s, "9", "9\r\nalpha\r\nbeta\r\n"},
      {"300\r\n"s, "5000", "5000\r\n"},       {"300"s, "", "\r\n"},
      {"12\r\n"s, "word", "word\r\n"},        {"12\r\n"s, " 1 2 \t", " 1 2 \t\r\n"},
      {"\r\n5"s, "8", "8\r\n5\r\n"},  // repairs a file whose line 1 is empty
      {"bad\r\nkeep"s, "3", "3\r\nkeep\r\n"}, {"1\r2\n3\0junk\r\n"s, "x", "x\r\n2\r\n3\r\n"},
      {"1\n\r\n\r"s, "2", "2\r\n\r\n\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.before) + " <- " + c.editText);
    ScratchFolder folder;
    if (c.before) folder.WriteSettings(*c.before);
    ScratchFiles files(folder);
    TSettingsDialogModel dialog;
    Outcome([&] { return dialog.DialogRead(files); });
    EXPECT_EQ(Outcome([&] { dialog.DialogWrite(files, c.editText); }), "ok");
    EXPECT_EQ(folder.ReadSettings(), c.after);
    EXPECT_EQ(folder.Names(), "quillfen.ini");  // nothing left beside it
  }
}

TEST(SettingsWrite, WritesTheLinesHeldSinceTheRead) {
  ScratchFolder folder;
  folder.WriteSettings("7\nalpha\n");
  ScratchFiles files(folder);
  TSettingsDialogModel dialog;
  ASSERT_EQ(Outcome([&] { return dialog.DialogRead(files); }), "7");
  folder.WriteSettings("8\r\nchanged\r\nmeanwhile\r\n");
  dialog.DialogWrite(files, "9");
  EXPECT_EQ(folder.ReadSettings(), "9\r\nalpha\r\n");
  // A second OK writes again.
  dialog.DialogWrite(files, "10");
  EXPECT_EQ(folder.ReadSettings(), "10\r\nalpha\r\n");
}

TEST(SettingsWrite, AFileWithoutLinesCanNeverBeWritten) {
  for (const std::string& bytes : {""s,
                                   "\0"
                                   "5\r\n"s}) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    ScratchFolder folder;
    folder.WriteSettings(bytes);
    ScratchFiles files(folder);
    TSettingsDialogModel dialog;
    EXPECT_EQ(Outcome([&] { return dialog.DialogRead(files); }), ListError);
    for (int ok = 0; ok < 2; ++ok) {
      EXPECT_EQ(Outcome([&] { dialog.DialogWrite(files, "40"); }), ListError);
      EXPECT_EQ(dialog.SettingsLines.Count(), 0u);
      EXPECT_EQ(folder.ReadSettings(), bytes);
    }
  }
}

TEST(SettingsWrite, AFolderOfThatNameIsACreateErrorAndStays) {
  ScratchFolder folder;
  fs::create_directory(folder.Path() / "quillfen.ini");
  ScratchFiles files(folder);
  TSettingsDialogModel dialog;
  ASSERT_EQ(Outcome([&] { return dialog.DialogRead(files); }), "none");
  for (const char* text : {"40", "41"}) {
    EXPECT_EQ(Outcome([&] { dialog.DialogWrite(files, text); }), CreateError(folder.SettingsFile()));
    // The list already holds the new line 1.
    EXPECT_EQ(dialog.SettingsLines.Strings(), Lines{text});
    EXPECT_TRUE(fs::is_directory(folder.Path() / "quillfen.ini"));
    EXPECT_EQ(folder.Names(), "quillfen.ini");
  }
}

TEST(SettingsWrite, NoFolderAtAllIsACreateError) {
  ScratchFolder folder;
  ScratchFiles files(folder);
  TSettingsDialogModel dialog;
  dialog.SettingsPath = (folder.Path() / "missing" / "quillfen.ini").string();
  dialog.SettingsLines.Add("12");
  EXPECT_EQ(Outcome([&] { dialog.DialogWrite(files, "40"); }), CreateError(dialog.SettingsPath));
  EXPECT_EQ(folder.Names(), "");
}

// The field after StartField alone, to compare the seeded table with.
WalkerField Seeded(std::int32_t width, std::int32_t height, std::uint32_t seed) {
  WalkerField f;
  StartField(f, width, height, seed);
  return f;
}

bool SameTable(const WalkerField& a, const WalkerField& b) {
  return std::memcmp(&a.Walkers, &b.Walkers, sizeof a.Walkers) == 0 && a.ScreenWidth == b.ScreenWidth &&
         a.ScreenHeight == b.ScreenHeight && a.RandomState == b.RandomState;
}

TEST(RunSaverStartup, CountFromTheFileThenTheSmallFieldRule) {
  const struct {
    std::optional<std::string> file;
    std::int32_t width;
    std::int32_t countBefore;
    std::string outcome;
    std::int32_t countAfter;
  } cases[] = {
      {"300\r\n"s, 800, 0, "ok", 300},
      {"300\r\n"s, 512, 0, "ok", 300},
      {"300\r\n"s, 511, 0, "ok", 1},
      {"1000\r\n"s, 152, 0, "ok", 1},
      {"5000\r\n"s, 1024, 0, "ok", 5000},
      {"-5\r\n"s, 1024, 0, "ok", -5},
      {std::nullopt, 1920, 0, "ok", 12},
      {std::nullopt, 200, 0, "ok", 1},
      // An error leaves the count as it was and skips the small-field rule.
      {""s, 200, 0, ListError, 0},
      {""s, 1920, 77, ListError, 77},
      {"25 \r\n"s, 200, 0, ConvertError("25 "), 0},
      {"\r\n"s, 800, 0, ConvertError(""), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.file) + " width " + std::to_string(c.width));
    ScratchFolder folder;
    if (c.file) folder.WriteSettings(*c.file);
    ScratchFiles files(folder);
    WalkerField field;
    std::int32_t WalkerCount = c.countBefore;
    EXPECT_EQ(Outcome([&] { RunSaverStartup(field, WalkerCount, c.width, 600, 4711u, files); }), c.outcome);
    EXPECT_EQ(WalkerCount, c.countAfter);
    // The field is seeded before the read, whatever the read gives.
    EXPECT_TRUE(SameTable(field, Seeded(c.width, 600, 4711u)));
  }
}

}  // namespace
