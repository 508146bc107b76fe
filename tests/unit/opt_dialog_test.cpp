// The setup dialog's handlers and its arrows, through the recording fake.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "settings/opt_dialog.h"

using namespace quillfen;
using quillfen::testing::FakeFiles;
using quillfen::testing::FakePlatform;

namespace {

class OptDialogTest : public ::testing::Test {
 protected:
  FakePlatform p;
  FakeFiles files;
  std::int16_t shownPosition = 0;

  // Runs "/c" with `script` as what the user does in the dialog.
  int Run(const std::function<void(TApplication&)>& script) {
    p.loop = [&](TApplication& app) {
      shownPosition = app.OptDialog->UpDown1Position;
      script(app);
    };
    std::vector<std::string_view> args{"/opt/quillfen/quillfen", "/c"};
    return RunQuillfen(p, files, args);
  }
};

TEST_F(OptDialogTest, NoFileShowsTwelveAndOkCreatesTheFile) {
  EXPECT_EQ(Run([](TApplication& app) { app.HandleOkClick("40"); }), 0);
  EXPECT_EQ(shownPosition, 12);
  EXPECT_EQ(files.Get("quillfen.ini"), "40\r\n");
  EXPECT_TRUE(p.errorBoxes.empty());
  EXPECT_EQ(p.Only({"CreateSetupDialog", "RunMessageLoop", "DestroySetupDialog"}),
            (std::vector<std::string>{"CreateSetupDialog", "RunMessageLoop", "DestroySetupDialog"}));
}

TEST_F(OptDialogTest, PositionFromTheFileTakesTheLow16Bits) {
  const struct {
    const char* file;
    std::int16_t position;
  } cases[] = {{"300\r\n", 300}, {"5000", 5000}, {"-5\n", -5}, {"0", 0}, {"70000", 4464}, {"$FFFF", -1}};
  for (const auto& c : cases) {
    files = FakeFiles{};
    files.Put("quillfen.ini", c.file);
    p = FakePlatform{};
    Run([](TApplication& app) { app.HandleDialogClose(); });
    EXPECT_EQ(shownPosition, c.position) << c.file;
    EXPECT_EQ(files.Get("quillfen.ini"), c.file);  // closing writes nothing
  }
}

TEST_F(OptDialogTest, ZeroByteFileReportsBeforeTheDialogAndEveryOk) {
  files.Put("quillfen.ini", "");
  bool stillOpen = false;
  Run([&](TApplication& app) {
    app.HandleOkClick("40");
    app.HandleOkClick("41");
    stillOpen = !app.Terminated();
    app.HandleDialogClose();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(shownPosition, 12);
  ASSERT_EQ(p.errorBoxes.size(), 3u);
  for (const auto& box : p.errorBoxes) {
    EXPECT_EQ(box.first, "quillfen");
    EXPECT_EQ(box.second, "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています.");
  }
  EXPECT_EQ(p.Only({"ShowErrorBox", "CreateSetupDialog"}).at(1), "CreateSetupDialog");
  EXPECT_EQ(files.Get("quillfen.ini"), "");
}

TEST_F(OptDialogTest, BadLineOneIsReportedAndOkRepairsIt) {
  files.Put("quillfen.ini", "alpha\nbeta\n");
  Run([](TApplication& app) { app.HandleOkClick("9"); });
  ASSERT_EQ(p.errorBoxes.size(), 1u);
  EXPECT_EQ(p.errorBoxes[0].second, "'alpha' は整数ではありません.");
  EXPECT_EQ(shownPosition, 12);
  EXPECT_EQ(files.Get("quillfen.ini"), "9\r\nbeta\r\n");
}

TEST_F(OptDialogTest, TextIsWrittenUnchecked) {
  for (const char* text : {"5000", "word", "", " 7 ", "-3"}) {
    files = FakeFiles{};
    files.Put("quillfen.ini", "7\nalpha\nbeta");
    p = FakePlatform{};
    Run([&](TApplication& app) { app.HandleOkClick(text); });
    EXPECT_EQ(files.Get("quillfen.ini"), std::string(text) + "\r\nalpha\r\nbeta\r\n");
  }
}

TEST_F(OptDialogTest, ArrowsStepWithinTheRange) {
  const struct {
    std::int16_t position;
    const char* edit;
    int delta;
    const char* result;
  } cases[] = {
      {12, "12", 1, "13"},     {12, "12", -1, "11"},    {1000, "1000", 1, "1000"}, {1, "1", -1, "1"},
      {12, "500", 1, "501"},   {12, "word", 1, "13"},   {12, "", -1, "11"},        {12, "5000", -1, "1000"},
      {12, "-7", 1, "1"},      {999, "999", 1, "1000"}, {2, "2", -1, "1"},
  };
  for (const auto& c : cases) {
    p = FakePlatform{};
    std::string got;
    Run([&](TApplication& app) {
      app.OptDialog->UpDown1Position = c.position;
      got = app.OptDialog->StepUpDown(c.edit, c.delta);
      app.HandleDialogClose();
    });
    EXPECT_EQ(got, c.result) << c.position << " " << c.edit << " " << c.delta;
  }
}

}  // namespace
