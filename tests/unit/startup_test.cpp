// Start-up, the saver window and the password check, driven through the
// recording fake of the system services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/errors.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "saver/main_form.h"
#include "settings/opt_dialog.h"

using namespace quillfen;
using quillfen::testing::FakeFiles;
using quillfen::testing::FakePlatform;
using quillfen::testing::TestSpriteSheet;

namespace {

const std::string NoParentText = "ｺﾝﾄﾛｰﾙ 'MainForm' は親ｳｨﾝﾄﾞｳを持っていません.";
const std::string WindowCreateText = "ｳｨﾝﾄﾞｳの作成でｴﾗｰが発生しました.";

class Startup : public ::testing::Test {
 protected:
  FakePlatform p;
  FakeFiles files;
  void SetUp() override { p.sheet = TestSpriteSheet(); }

  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), "/opt/quillfen/quillfen");
    std::vector<std::string_view> v(args.begin(), args.end());
    return RunQuillfen(p, files, v);
  }
};

TEST_F(Startup, RefusedCommandLinesTouchNothing) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"/p"}, {"/x"}, {"/p", "1", "2"}, {"-"}}) {
    p.calls.clear();
    EXPECT_EQ(Run(args), -1);
    EXPECT_TRUE(p.calls.empty());
  }
}

TEST_F(Startup, SecondPreviewIsRefusedBeforeAnythingElse) {
  p.guardExists = true;
  p.windows[4711] = {0, 0, 152, 112};
  EXPECT_EQ(Run({"/p", "4711"}), -1);
  EXPECT_EQ(p.calls, (std::vector<std::string>{"GuardExists(Mossgate)"}));
}

TEST_F(Startup, PreviewOrder) {
  p.windows[4711] = {10, 20, 162, 132};
  p.loop = [&](TApplication& app) {
    EXPECT_EQ(app.PreviewMutex, p.guardHandle);
    // Input never closes a preview; a close from outside always does.
    app.HandleMouseMove(500, 500);
    app.HandleMouseDown();
    app.HandleKeyDown(13);
    EXPECT_FALSE(app.Terminated());
    app.HandleCloseMessage();
    EXPECT_TRUE(app.Terminated());
  };
  EXPECT_EQ(Run({"/p", "4711"}), 0);
  EXPECT_EQ(p.Only({"Guard", "CreateGuard", "ShowWindow", "GetWindowRect", "CreateSaverWindow", "ShowSaverWindow",
                    "RunMessageLoop", "DestroySaverWindow", "ShowCursor", "GetCursorPos", "RegOpenKey"}),
            (std::vector<std::string>{"GuardExists(Mossgate)", "CreateGuard(Mossgate)", "ShowWindow(2713,0)",
                                      "ShowWindow(4711,5)", "GetWindowRect(4711)", "CreateSaverWindow",
                                      "ShowSaverWindow", "RunMessageLoop", "DestroySaverWindow", "ShowCursor(1)"}));
  EXPECT_EQ(p.created.Parent, 4711u);
  EXPECT_EQ(p.created.Style, 0x56000000u);
  EXPECT_EQ(p.created.X, 0);
  EXPECT_EQ(p.created.Y, 0);
  EXPECT_EQ(p.created.Width, 152);
  EXPECT_EQ(p.created.Height, 112);
  EXPECT_TRUE(p.errorBoxes.empty());
}

TEST_F(Startup, PreviewWithoutAHostShowsThePlatformErrorAndEndsWithZero) {
  const struct {
    std::vector<std::string> args;
    bool windowCallFails;
    std::string text;
  } cases[] = {
      {{"/p", "0"}, false, NoParentText},
      {{"/p", "abc"}, false, NoParentText},
      {{"/p", "999"}, true, WindowCreateText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    p = FakePlatform{};
    p.sheet = TestSpriteSheet();
    p.createWindowSucceeds = !c.windowCallFails;
    EXPECT_EQ(Run(c.args), 0);
    ASSERT_EQ(p.errorBoxes.size(), 1u);
    EXPECT_EQ(p.errorBoxes[0].first, "quillfen");
    EXPECT_EQ(p.errorBoxes[0].second, c.text);
    EXPECT_TRUE(p.Only({"RunMessageLoop", "ShowSaverWindow"}).empty());
    EXPECT_EQ(p.cursorCount, 1);  // FormDestroy still shows the cursor once
  }
}

TEST_F(Startup, SaverOrderAndCursorCount) {
  p.loop = [&](TApplication& app) {
    ASSERT_TRUE(app.MainForm);
    EXPECT_EQ(p.cursorCount, -1);
    EXPECT_EQ(app.MainForm->SavedCursorPos, (TPoint{100, 200}));
    app.HandleTimer();
    app.HandleMouseMove(100, 200);  // at the saved position: nothing
    EXPECT_FALSE(app.Terminated());
    app.HandleMouseMove(101, 200);
    EXPECT_TRUE(app.Terminated());
  };
  EXPECT_EQ(Run({"/s"}), 0);
  EXPECT_EQ(p.Only({"SetApplicationTitle", "ScreenWidth", "ScreenHeight", "GetCursorPos", "ShowCursor",
                    "CalendarTimeSeconds", "CreateSaverWindow", "ShowSaverWindow", "RunMessageLoop",
                    "DestroySaverWindow", "Guard"}),
            (std::vector<std::string>{"SetApplicationTitle(tin kite)", "ScreenWidth", "ScreenHeight", "GetCursorPos",
                                      "ShowCursor(0)", "CalendarTimeSeconds", "CreateSaverWindow", "ShowSaverWindow",
                                      "RunMessageLoop", "DestroySaverWindow", "ShowCursor(1)"}));
  EXPECT_EQ(p.cursorCount, 0);
  EXPECT_EQ(p.created.Parent, 0u);
  EXPECT_EQ(p.created.Style & 0x40000000u, 0u);
  EXPECT_TRUE(p.created.Topmost);
  EXPECT_EQ(p.created.Width, 1024);
  EXPECT_EQ(p.created.Height, 768);
  EXPECT_EQ(p.framesPresented, 1);
  EXPECT_EQ(p.lastFrame.Width, 1024);
  EXPECT_EQ(p.lastFrame.Height, 768);
}

TEST_F(Startup, SaverInputRules) {
  const struct {
    const char* name;
    std::function<void(TApplication&)> input;
    bool closes;
  } cases[] = {
      {"move at saved", [](TApplication& a) { a.HandleMouseMove(100, 200); }, false},
      {"move x+1", [](TApplication& a) { a.HandleMouseMove(101, 200); }, true},
      {"move y-1", [](TApplication& a) { a.HandleMouseMove(100, 199); }, true},
      {"click", [](TApplication& a) { a.HandleMouseDown(); }, true},
      {"key", [](TApplication& a) { a.HandleKeyDown(0x41); }, true},
      {"close message", [](TApplication& a) { a.HandleCloseMessage(); }, true},
      {"timer", [](TApplication& a) { a.HandleTimer(); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    p = FakePlatform{};
    p.sheet = TestSpriteSheet();
    bool closed = false;
    p.loop = [&](TApplication& app) {
      c.input(app);
      closed = app.Terminated();
    };
    Run({"/s"});
    EXPECT_EQ(closed, c.closes);
  }
}

TEST_F(Startup, QueuedSystemCommandFilter) {
  const struct {
    std::uint32_t message;
    std::uint64_t wparam;
    bool dropped;
  } cases[] = {
      {0x0112, 0xF060, true},  {0x0112, 0xF140, true},  {0x0112, 0xF061, false},
      {0x0112, 0xF141, false}, {0x0112, 0xF020, false}, {0x0010, 0xF060, false},
  };
  for (const char* mode : {"/s", "/p"}) {
    for (const auto& c : cases) {
      p = FakePlatform{};
      p.sheet = TestSpriteSheet();
      p.windows[7] = {0, 0, 100, 80};
      bool dropped = false;
      p.loop = [&](TApplication& app) { dropped = app.FilterMessage(TMsg{0, c.message, c.wparam, 0}); };
      Run(std::string(mode) == "/s" ? std::vector<std::string>{"/s"} : std::vector<std::string>{"/p", "7"});
      EXPECT_EQ(dropped, c.dropped) << mode << " " << std::hex << c.message << " " << c.wparam;
    }
  }
}

// The password check: registry value, library and entry point, in order.
TEST_F(Startup, PasswordCheckOutcomes) {
  const THandle lib = 0x1B;
  const struct {
    const char* name;
    THandle key;
    TRegValue value;
    bool library, entry;
    std::int32_t verify;
    bool closes;
    std::vector<std::string> steps;
    std::string error;
  } cases[] = {
      {"no key", 0, {}, true, true, 0, true, {"RegOpenKey(.Default\\Control Panel\\Desktop)"}, ""},
      {"value 0", 9, {TRegValueKind::Dword, 0}, true, true, 0, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)", "RegCloseKey"}, ""},
      {"value 2", 9, {TRegValueKind::Dword, 2}, true, true, 0, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)", "RegCloseKey"}, ""},
      {"value -1", 9, {TRegValueKind::Dword, 0xFFFFFFFFu}, true, true, 0, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)", "RegCloseKey"}, ""},
      {"value missing", 9, {TRegValueKind::Missing, 0}, true, true, 0, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)", "RegCloseKey"}, ""},
      {"no library", 9, {TRegValueKind::Dword, 1}, false, true, 0, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)",
        "LoadLibrary(PASSWORD.CPL)", "RegCloseKey"},
       ""},
      {"no entry", 9, {TRegValueKind::Dword, 1}, true, false, 0, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)",
        "LoadLibrary(PASSWORD.CPL)", "GetProcAddress(VerifyScreenSavePwd)", "ShowCursor(1)", "FreeLibrary",
        "RegCloseKey"},
       ""},
      {"accepted", 9, {TRegValueKind::Dword, 1}, true, true, 1, true,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)",
        "LoadLibrary(PASSWORD.CPL)", "GetProcAddress(VerifyScreenSavePwd)", "ShowCursor(1)",
        "VerifyScreenSavePwd(1445)", "FreeLibrary", "RegCloseKey"},
       ""},
      {"refused", 9, {TRegValueKind::Dword, 1}, true, true, 0, false,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)",
        "LoadLibrary(PASSWORD.CPL)", "GetProcAddress(VerifyScreenSavePwd)", "ShowCursor(1)",
        "VerifyScreenSavePwd(1445)", "GetCursorPos", "ShowCursor(0)", "FreeLibrary", "RegCloseKey"},
       ""},
      {"wrong type", 9, {TRegValueKind::WrongType, 0}, true, true, 1, false,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)", "RegCloseKey"},
       "'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です."},
      {"too long", 9, {TRegValueKind::TooLong, 0}, true, true, 1, false,
       {"RegOpenKey(.Default\\Control Panel\\Desktop)", "RegReadInteger(ScreenSaveUsePassword)", "RegCloseKey"},
       "'ScreenSaveUsePassword' の取得に失敗しました."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    p = FakePlatform{};
    p.sheet = TestSpriteSheet();
    p.desktopKey = c.key;
    p.usePassword = c.value;
    if (c.library) p.libraries["PASSWORD.CPL"] = lib;
    if (c.entry) p.procs["VerifyScreenSavePwd"] = 0xE1;
    p.verifyResult = c.verify;
    p.cursor = {100, 200};
    bool closed = false;
    TPoint savedAfter;
    int countAfter = 0;
    std::size_t mark = 0;
    p.loop = [&](TApplication& app) {
      p.cursor = {300, 400};  // where the cursor stands when the check runs
      mark = p.calls.size();
      app.HandleMouseDown();
      closed = app.Terminated();
      savedAfter = app.MainForm->SavedCursorPos;
      countAfter = p.cursorCount;
    };
    EXPECT_EQ(Run({"/s"}), 0);
    EXPECT_EQ(closed, c.closes);
    std::vector<std::string> steps;
    for (std::size_t i = mark; i < p.calls.size(); ++i) {
      if (p.calls[i].rfind("ShowErrorBox", 0) == 0 || p.calls[i] == "DestroySaverWindow") break;
      steps.push_back(p.calls[i]);
    }
    EXPECT_EQ(steps, c.steps);
    if (c.error.empty()) {
      EXPECT_TRUE(p.errorBoxes.empty());
    } else {
      ASSERT_EQ(p.errorBoxes.size(), 1u);
      EXPECT_EQ(p.errorBoxes[0], std::make_pair(std::string("tin kite"), c.error));
    }
    const bool refused = std::string(c.name) == "refused";
    EXPECT_EQ(savedAfter, (refused ? TPoint{300, 400} : TPoint{100, 200}));
    const bool shown = std::string(c.name) == "accepted" || std::string(c.name) == "no entry";
    EXPECT_EQ(countAfter, shown ? 0 : -1);
  }
}

TEST_F(Startup, PasswordIsNotCheckedInPreview) {
  p.windows[7] = {0, 0, 100, 80};
  p.desktopKey = 9;
  p.usePassword = {TRegValueKind::Dword, 1};
  p.libraries["PASSWORD.CPL"] = 1;
  p.procs["VerifyScreenSavePwd"] = 2;
  p.verifyResult = 0;
  bool mayEnd = false;
  p.loop = [&](TApplication& app) {
    mayEnd = app.HandleQueryEndSession();
    app.HandleCloseMessage();
  };
  EXPECT_EQ(Run({"/p", "7"}), 0);
  EXPECT_TRUE(mayEnd);
  EXPECT_TRUE(p.Only({"Reg", "LoadLibrary"}).empty());
}

TEST_F(Startup, RefusedPasswordKeepsTheSaverAndAsksAgainOnTheNextMove) {
  p.desktopKey = 9;
  p.usePassword = {TRegValueKind::Dword, 1};
  p.libraries["PASSWORD.CPL"] = 1;
  p.procs["VerifyScreenSavePwd"] = 2;
  p.verifyResult = 0;
  bool mayEnd = true;
  p.loop = [&](TApplication& app) {
    p.cursor = {5, 6};
    app.HandleMouseMove(5, 6);  // refused; the saved position is now (5, 6)
    EXPECT_FALSE(app.Terminated());
    const auto asked = p.Only({"VerifyScreenSavePwd"}).size();
    app.HandleMouseMove(5, 6);  // the same position: nothing
    EXPECT_EQ(p.Only({"VerifyScreenSavePwd"}).size(), asked);
    mayEnd = app.HandleQueryEndSession();  // log-off asks too, and is refused
    EXPECT_EQ(p.Only({"VerifyScreenSavePwd"}).size(), asked + 1);
    p.verifyResult = 1;
    app.HandleMouseMove(6, 6);
    EXPECT_TRUE(app.Terminated());
  };
  EXPECT_EQ(Run({"/s"}), 0);
  EXPECT_FALSE(mayEnd);
  EXPECT_EQ(p.cursorCount, 1);  // shown by the accepted check, and again by FormDestroy
}

TEST_F(Startup, RegistryErrorLeavesTheSaverRunningAndTheCursorHidden) {
  p.desktopKey = 9;
  p.usePassword = {TRegValueKind::WrongType, 0};
  int ticksDuringBox = 0;
  p.whileErrorBox = [&] {
    EXPECT_EQ(p.cursorCount, -1);
    p.app->HandleTimer();  // the animation goes on behind the box
    ++ticksDuringBox;
  };
  p.loop = [&](TApplication& app) {
    app.HandleKeyDown(1);
    app.HandleKeyDown(1);
    EXPECT_FALSE(app.Terminated());
    app.HandleCloseMessage();
    EXPECT_FALSE(app.Terminated());
  };
  EXPECT_EQ(Run({"/s"}), 0);
  EXPECT_EQ(p.errorBoxes.size(), 3u);
  EXPECT_EQ(ticksDuringBox, 3);
  EXPECT_EQ(p.framesPresented, 3);
}

TEST_F(Startup, SettingsErrorInFormCreateIsShownAndTheSaverRunsEmpty) {
  files.Put("quillfen.ini", "");  // zero bytes: no line 1
  int walkers = -1;
  bool allWhite = false;
  p.loop = [&](TApplication& app) {
    walkers = app.MainForm->WalkerCount;
    app.HandleTimer();
    // An empty field: every pixel white.
    allWhite = true;
    for (std::int32_t y = 0; y < p.lastFrame.Height; ++y)
      for (std::int32_t x = 0; x < p.lastFrame.Width; ++x)
        allWhite = allWhite && (p.lastFrame.Pixels[y * p.lastFrame.Stride + x] & 0xFFFFFFu) == 0xFFFFFFu;
    app.HandleKeyDown(1);
  };
  EXPECT_EQ(Run({"/s"}), 0);
  ASSERT_EQ(p.errorBoxes.size(), 1u);
  EXPECT_EQ(p.errorBoxes[0].first, "tin kite");
  EXPECT_EQ(p.errorBoxes[0].second, "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています.");
  EXPECT_EQ(walkers, 0);
  // The box came before the window was made.
  const auto order = p.Only({"ShowErrorBox", "CreateSaverWindow"});
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[1], "CreateSaverWindow");
  EXPECT_TRUE(allWhite);
  EXPECT_EQ(p.framesPresented, 1);
}

TEST_F(Startup, WalkerCountAndSmallFieldRule) {
  const struct {
    const char* file;
    std::int32_t width;
    std::int32_t expect;
  } cases[] = {{nullptr, 1024, 12}, {"300\r\n", 1024, 300}, {"300\r\n", 511, 1}, {nullptr, 512, 12}};
  for (const auto& c : cases) {
    p = FakePlatform{};
    p.sheet = TestSpriteSheet();
    files = FakeFiles{};
    if (c.file) files.Put("quillfen.ini", c.file);
    p.screenWidth = c.width;
    std::int32_t walkers = -1;
    p.loop = [&](TApplication& app) { walkers = app.MainForm->WalkerCount; };
    Run({"/s"});
    EXPECT_EQ(walkers, c.expect) << (c.file ? c.file : "no file") << " " << c.width;
  }
}

TEST_F(Startup, SeedComesFromTheClock) {
  p.clock = 1;
  p.screenWidth = 800;
  p.screenHeight = 600;
  p.loop = [&](TApplication& app) {
    const TWalkers& t = app.MainForm->Field().Walkers;
    EXPECT_EQ(t.Kind[0], 4);
    EXPECT_EQ(t.X[0], 130);
    EXPECT_EQ(t.Y[0], 182);
  };
  Run({"/s"});
}

TEST_F(Startup, ChangePasswordOwnerAndLibrary) {
  const struct {
    std::vector<std::string> args;
    bool library, entry;
    std::vector<std::string> calls;
  } cases[] = {
      {{"/a", "4711"}, true, true,
       {"LoadLibrary(MPR.DLL)", "GetProcAddress(PwdChangePasswordA)", "PwdChangePasswordA(SCRSAVE,4711,0,0)",
        "FreeLibrary"}},
      {{"/a"}, true, true,
       {"GetForegroundWindow", "LoadLibrary(MPR.DLL)", "GetProcAddress(PwdChangePasswordA)",
        "PwdChangePasswordA(SCRSAVE,16962,0,0)", "FreeLibrary"}},
      {{"/a", "1", "2"}, true, true,
       {"GetForegroundWindow", "LoadLibrary(MPR.DLL)", "GetProcAddress(PwdChangePasswordA)",
        "PwdChangePasswordA(SCRSAVE,16962,0,0)", "FreeLibrary"}},
      {{"/a", "abc"}, true, true,
       {"LoadLibrary(MPR.DLL)", "GetProcAddress(PwdChangePasswordA)", "PwdChangePasswordA(SCRSAVE,0,0,0)",
        "FreeLibrary"}},
      {{"/a", "5"}, false, true, {"LoadLibrary(MPR.DLL)"}},
      {{"/a", "5"}, true, false, {"LoadLibrary(MPR.DLL)", "GetProcAddress(PwdChangePasswordA)", "FreeLibrary"}},
  };
  for (const auto& c : cases) {
    p = FakePlatform{};
    if (c.library) p.libraries["MPR.DLL"] = 0x10;
    if (c.entry) p.procs["PwdChangePasswordA"] = 0x11;
    EXPECT_EQ(Run(c.args), 0);
    EXPECT_EQ(p.calls, c.calls) << c.args.size();
  }
}

}  // namespace
