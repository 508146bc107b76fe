// quillfen.scr end to end under Wine: exit codes, the preview guard, the
// windows and their styles, frames on screen, real input, the password
// setting and the setup dialog with its settings file.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "e2e_support.h"

using namespace qfe2e;

namespace {

constexpr DWORD RefusedExitCode = 0xFFFFFFFFu;  // -1

bool IsClass(HWND w, const wchar_t* name) {
  return ClassOf(w) == name;
}
bool IsVisibleClass(HWND w, const wchar_t* name) {
  return IsWindowVisible(w) && IsClass(w, name);
}

HWND ApplicationWindowOf(const SaverRun& run) {
  return WaitForWindow(run.Pid(), [](HWND w) { return IsClass(w, L"QuillfenApplication"); });
}

HWND SaverWindowOf(const SaverRun& run) {
  return WaitForWindow(run.Pid(), [](HWND w) { return IsVisibleClass(w, L"QuillfenSaver"); });
}

HWND ErrorBoxOf(const SaverRun& run, Ms timeout = StartTimeout) {
  return WaitForWindow(
      run.Pid(), [](HWND w) { return IsVisibleClass(w, L"#32770"); }, timeout);
}

bool HasText(const std::vector<std::wstring>& texts, const std::string& utf8) {
  for (const auto& t : texts)
    if (t == Widen(utf8)) return true;
  return false;
}

std::string Joined(const std::vector<std::wstring>& texts) {
  std::string all;
  for (const auto& t : texts) {
    all.append(1, '[').append(Narrow(t)).append(1, ']');
  }
  return all;
}

// Closes a message box by its OK button and waits until it is gone.
void Dismiss(HWND box) {
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Pump(50ms);
  EXPECT_FALSE(IsWindow(box) && IsWindowVisible(box)) << "the message box stayed";
}

// Checks the error display: a message box owned by the application window,
// with the title as caption and the message followed by ".".
void ExpectErrorBox(HWND box, const SaverRun& run, const std::string& caption, const std::string& message) {
  ASSERT_NE(box, nullptr) << "no message box came";
  EXPECT_EQ(Narrow(TextOf(box)), caption);
  const auto texts = StaticTexts(box);
  EXPECT_TRUE(HasText(texts, message + ".")) << Joined(texts);
  EXPECT_EQ(GetWindow(box, GW_OWNER), ApplicationWindowOf(run));
}

// The screen as the X server shows it, 0x00RRGGBB per pixel.
std::vector<std::uint32_t> Screenshot(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> out(pixels, pixels + static_cast<std::size_t>(width) * height);
  for (auto& p : out) p &= 0x00FFFFFFu;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

// --- the program file ----------------------------------------------------------

TEST(Resources, NameVersionManifestAndArtAreBuiltIn) {
  ScratchCopy copy;
  const HMODULE module = LoadLibraryExW(copy.Program().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  // String 1 is the name the system lists the screen saver under.
  wchar_t name[64] = L"";
  EXPECT_GT(LoadStringW(module, 1, name, 64), 0);
  EXPECT_EQ(Narrow(name), "Quillfen");
  // Both pictures, at their sizes.
  for (const auto& [id, width, height] : {std::tuple{101, 675, 722}, std::tuple{102, 168, 214}}) {
    SCOPED_TRACE(id);
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_BITMAP));
    ASSERT_NE(info, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, info)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, width);
    EXPECT_EQ(header->biHeight, height);
    EXPECT_EQ(header->biBitCount, 8);
  }
  // The manifest: per-monitor DPI awareness and the common controls 6.
  const HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_MANIFEST));
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                         SizeofResource(module, manifest));
  EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  FreeLibrary(module);

  // The version information, read the way Explorer reads it.
  DWORD ignored = 0;
  std::vector<BYTE> version(GetFileVersionInfoSizeW(copy.Program().c_str(), &ignored));
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(GetFileVersionInfoW(copy.Program().c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(Narrow(value), "Quillfen");
  ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\OriginalFilename",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(Narrow(value), "quillfen.scr");
}

// --- command line ---------------------------------------------------------

TEST(CommandLine, RefusedRequestsEndWithMinusOne) {
  ScratchCopy copy;
  for (const wchar_t* arguments : {L"/p", L"/p:4711", L"-P 4711 1", L"/x", L"/", L"-", L"//s"}) {
    SCOPED_TRACE(Narrow(arguments));
    SaverRun run(copy.Program(), arguments);
    EXPECT_EQ(run.WaitExit(StartTimeout), RefusedExitCode);
  }
  // The raw command line is cut by our own rules: the switch right after a
  // quoted program name, and the switch with its handle in one pair of
  // quotes, are both the preview switch without a handle.
  const std::wstring quoted = L"\"" + copy.Program() + L"\"";
  for (const std::wstring& line : {quoted + L"/p", quoted + L" \"/p 4711\""}) {
    SCOPED_TRACE(Narrow(line));
    SaverRun run = SaverRun::WithCommandLine(copy.Program(), line);
    EXPECT_EQ(run.WaitExit(StartTimeout), RefusedExitCode);
  }
}

TEST(CommandLine, PasswordChangeEndsWithZero) {
  ScratchCopy copy;
  for (const wchar_t* arguments : {L"/a", L"-A 4711", L"/a 4711 1"}) {
    SCOPED_TRACE(Narrow(arguments));
    SaverRun run(copy.Program(), arguments);
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  }
}

// --- preview ----------------------------------------------------------------

TEST(Preview, FillsTheHostAsAChildAndKeepsASecondOneOut) {
  ScratchCopy copy;
  // The host starts hidden: the preview shows it.
  HostWindow host(320, 240, false);
  SaverRun first(copy.Program(), L"/p " + host.Decimal());
  const HWND child = WaitForChild(host.Hwnd());
  ASSERT_NE(child, nullptr) << "no window appeared in the host";
  EXPECT_TRUE(IsWindowVisible(host.Hwnd()));
  DWORD owner = 0;
  GetWindowThreadProcessId(child, &owner);
  EXPECT_EQ(owner, first.Pid());

  // Exactly WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, at the
  // host's client origin with the host's outer size.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)), 0x56000000u);
  RECT hostRect, childRect;
  GetWindowRect(host.Hwnd(), &hostRect);
  GetWindowRect(child, &childRect);
  EXPECT_EQ(childRect.right - childRect.left, hostRect.right - hostRect.left);
  EXPECT_EQ(childRect.bottom - childRect.top, hostRect.bottom - hostRect.top);
  POINT origin{0, 0};
  ClientToScreen(host.Hwnd(), &origin);
  EXPECT_EQ(childRect.left, origin.x);
  EXPECT_EQ(childRect.top, origin.y);

  // The application window is hidden in preview mode.
  for (HWND w : WindowsOf(first.Pid())) EXPECT_FALSE(IsWindowVisible(w)) << Narrow(ClassOf(w));

  // A second preview is refused while the first runs: it adds no window and
  // leaves the host as it is, hidden here.
  {
    ShowWindow(host.Hwnd(), SW_HIDE);
    SaverRun second(copy.Program(), L"/p " + host.Decimal());
    EXPECT_EQ(second.WaitExit(StartTimeout), RefusedExitCode);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(child, GW_HWNDPREV), nullptr);
    EXPECT_FALSE(IsWindowVisible(host.Hwnd()));
    ShowWindow(host.Hwnd(), SW_SHOW);
    Pump(100ms);
  }

  // Input does not end a preview; a close from outside does, with 0.
  EXPECT_TRUE(Settle(child));
  const int cx = (childRect.left + childRect.right) / 2, cy = (childRect.top + childRect.bottom) / 2;
  Xdo("mousemove " + std::to_string(cx) + " " + std::to_string(cy) + " click 1 key a");
  EXPECT_TRUE(Settle(child));
  EXPECT_TRUE(first.Running());
  PostMessageW(child, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitExit(StartTimeout), 0u);

  // Once it has ended a new preview starts; a handle written above 2^32 wraps
  // to the same window.
  const auto wrapped = static_cast<std::uint64_t>(std::stoul(host.Decimal())) + 4294967296ull;
  SaverRun third(copy.Program(), L"/p " + std::to_wstring(wrapped));
  const HWND again = WaitForChild(host.Hwnd());
  ASSERT_NE(again, nullptr) << "the preview after the first did not start";
  // A host that goes away takes the preview with it, and frees the guard.
  host.Destroy();
  EXPECT_EQ(third.WaitExit(StartTimeout), 0u);
}

TEST(Preview, AHostThatIsNoWindowIsReportedAndEndsWithZero) {
  ScratchCopy copy;
  ASSERT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(3))));
  const struct {
    const wchar_t* arguments;
    const char* message;
  } cases[] = {
      {L"/p abc", "ｺﾝﾄﾛｰﾙ 'MainForm' は親ｳｨﾝﾄﾞｳを持っていません"},
      {L"/p 3", "ｳｨﾝﾄﾞｳの作成でｴﾗｰが発生しました"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments));
    SaverRun run(copy.Program(), c.arguments);
    const HWND box = ErrorBoxOf(run);
    // The caption is the default title: the program's name without suffix.
    ExpectErrorBox(box, run, "quillfen", c.message);
    if (box == nullptr) continue;
    Dismiss(box);
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  }
}

// --- saver --------------------------------------------------------------------

TEST(Saver, CoversTheScreenTopmostAndAnimates) {
  ScratchCopy copy;
  SaverRun run(copy.Program(), L"/s");
  const HWND saver = SaverWindowOf(run);
  ASSERT_NE(saver, nullptr);
  RECT r;
  GetWindowRect(saver, &r);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, width);
  EXPECT_EQ(r.bottom, height);
  EXPECT_NE(GetWindowLongW(saver, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(static_cast<DWORD>(GetWindowLongW(saver, GWL_STYLE)) & WS_POPUP, 0u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(saver, GWL_STYLE)) & (WS_CAPTION | WS_THICKFRAME), 0u);

  // The application window carries the saver's title and owns the saver.
  const HWND application = ApplicationWindowOf(run);
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(Narrow(TextOf(application)), "tin kite");
  EXPECT_EQ(GetWindow(saver, GW_OWNER), application);

  // Frames on screen: a white field with walkers on it, moving.
  Pump(1500ms);
  int w = 0, h = 0;
  const auto before = Screenshot(w, h);
  Pump(500ms);
  const auto after = Screenshot(w, h);
  std::size_t white = 0, changed = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    white += after[i] == 0x00FFFFFFu;
    changed += after[i] != before[i];
  }
  EXPECT_GT(white, after.size() / 2) << "the field is not white";
  EXPECT_LT(white, after.size()) << "no walker is shown";
  EXPECT_GT(changed, 0u) << "the walkers do not move";

  // Asked whether the session may end, a saver without a password says yes,
  // and only a close ends it.
  DWORD_PTR mayEnd = 0;
  ASSERT_TRUE(SendMessageTimeoutW(saver, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &mayEnd));
  EXPECT_EQ(mayEnd, TRUE);
  EXPECT_TRUE(Settle(saver));
  EXPECT_TRUE(run.Running());

  PostMessageW(saver, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
}

TEST(Saver, QueuedCloseAndScreenSaveCommandsAreDropped) {
  ScratchCopy copy;
  SaverRun run(copy.Program(), L"/s");
  const HWND saver = SaverWindowOf(run);
  ASSERT_NE(saver, nullptr);
  for (const WPARAM command : {WPARAM{SC_CLOSE}, WPARAM{SC_SCREENSAVE}}) {
    PostMessageW(saver, WM_SYSCOMMAND, command, 0);
    EXPECT_TRUE(Settle(saver));
    Pump(300ms);
    EXPECT_TRUE(run.Running()) << "the queued system command " << command << " was not dropped";
  }
  // The whole value is compared: with a low bit set the command passes, and
  // the system turns it into a close.
  PostMessageW(saver, WM_SYSCOMMAND, SC_CLOSE | 1, 0);
  EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
}

TEST(Saver, InputEndsIt) {
  ScratchCopy copy;
  for (const char* input : {"mousemove_relative 1 0", "mousemove_relative -- 0 -1", "key a", "click 1"}) {
    SCOPED_TRACE(input);
    SaverRun run(copy.Program(), L"/s");
    const HWND saver = SaverWindowOf(run);
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(Settle(saver));
    Pump(300ms);
    ASSERT_TRUE(run.Running()) << "the saver ended before any input";
    Xdo(input);
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  }
}

// --- password check -------------------------------------------------------------

TEST(PasswordCheck, WithoutThePasswordLibraryTheSaverCloses) {
  ScratchCopy copy;
  // Wine has no PASSWORD.CPL, so a setting of 1 cannot be checked and the
  // close goes ahead; a key without the value means no password.
  const struct {
    const char* name;
    bool set;
    DWORD value;
  } cases[] = {{"value 1", true, 1}, {"value 0", true, 0}, {"no value", false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PasswordSetting setting;
    if (c.set) setting.SetDword(c.value);
    SaverRun run(copy.Program(), L"/s");
    const HWND saver = SaverWindowOf(run);
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(Settle(saver));
    Xdo("mousemove_relative 1 0");
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  }
}

TEST(PasswordCheck, AValueThatIsNoDwordIsReportedAndTheSaverStays) {
  ScratchCopy copy;
  const char text[] = "1";
  const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  const struct {
    const char* name;
    DWORD type;
    const void* data;
    DWORD size;
    const char* message;
  } cases[] = {
      {"a string", REG_SZ, text, sizeof text, "'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です"},
      {"eight bytes", REG_BINARY, eight, sizeof eight, "'ScreenSaveUsePassword' の取得に失敗しました"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PasswordSetting setting;
    setting.Set(c.type, c.data, c.size);
    SaverRun run(copy.Program(), L"/s");
    const HWND saver = SaverWindowOf(run);
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(Settle(saver));
    Xdo("mousemove_relative 1 0");

    const HWND box = ErrorBoxOf(run);
    ExpectErrorBox(box, run, "tin kite", c.message);
    if (box == nullptr) continue;
    // Modal: the saver takes no input meanwhile, and it goes on running.
    EXPECT_FALSE(IsWindowEnabled(saver));
    EXPECT_TRUE(run.Running());
    Dismiss(box);
    EXPECT_TRUE(Settle(saver));
    EXPECT_TRUE(run.Running()) << "the saver closed despite the error";
    EXPECT_TRUE(IsWindowEnabled(saver));

    // Once the setting is mended the next close goes ahead.
    setting.Delete();
    while (const HWND more = ErrorBoxOf(run, 300ms)) Dismiss(more);
    PostMessageW(saver, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  }
}

// --- setup dialog ---------------------------------------------------------------

HWND SetupDialogOf(const SaverRun& run) {
  return WaitForWindow(run.Pid(), [](HWND w) { return IsVisibleClass(w, L"QuillfenSetup"); });
}

HWND EditOf(HWND dialog) {
  return FindWindowExW(dialog, nullptr, L"Edit", nullptr);
}

TEST(Setup, ShowsTheCountStepsItAndWritesItOnOk) {
  ScratchCopy copy;
  WriteFileBytes(copy.SettingsPath(), "999\r\nalpha\nbeta");
  SaverRun run(copy.Program(), L"/c");
  const HWND dialog = SetupDialogOf(run);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Narrow(TextOf(dialog)), "Setup");
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 281);
  EXPECT_EQ(client.bottom, 216);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
  EXPECT_NE(style & WS_CAPTION, 0u);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  RECT outer;
  GetWindowRect(dialog, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  const HWND edit = EditOf(dialog);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(Narrow(TextOf(edit)), "999");

  // Tab leads from OK to the edit box; the arrows step and stop at 1000.
  Xdo("key Tab Up Up Up");
  EXPECT_EQ(Narrow(TextOf(edit)), "1000");
  // Enter outside the OK button and Escape anywhere do nothing.
  Xdo("key Return Escape");
  EXPECT_TRUE(Settle(dialog));
  EXPECT_TRUE(run.Running());
  Xdo("key shift+Tab Escape");
  EXPECT_TRUE(Settle(dialog));
  EXPECT_TRUE(run.Running());
  // Enter on OK writes line 1 and keeps the others, each with CR LF.
  Xdo("key Return");
  EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  EXPECT_EQ(ReadFileBytes(copy.SettingsPath()), "1000\r\nalpha\r\nbeta\r\n");
}

TEST(Setup, WithoutAFileShowsTwelveAndWritesWhatWasTyped) {
  ScratchCopy copy;
  {
    SaverRun run(copy.Program(), L"/c");
    const HWND dialog = SetupDialogOf(run);
    ASSERT_NE(dialog, nullptr);
    const HWND edit = EditOf(dialog);
    EXPECT_EQ(Narrow(TextOf(edit)), "12");
    // OK has the focus at first.
    Xdo("key Return");
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
    EXPECT_EQ(ReadFileBytes(copy.SettingsPath()), "12\r\n");
  }
  {
    SaverRun run(copy.Program(), L"/c");
    const HWND dialog = SetupDialogOf(run);
    ASSERT_NE(dialog, nullptr);
    // Typed text is saved unchanged, beyond the arrows' range too.
    Xdo("key Tab type 5000");
    Xdo("key shift+Tab Return");
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
    EXPECT_EQ(ReadFileBytes(copy.SettingsPath()), "5000\r\n");
  }
}

TEST(Setup, ClosingWritesNothing) {
  ScratchCopy copy;
  for (const bool withFile : {true, false}) {
    SCOPED_TRACE(withFile ? "with a file" : "without a file");
    if (withFile) WriteFileBytes(copy.SettingsPath(), "7\n");
    SaverRun run(copy.Program(), L"/c");
    const HWND dialog = SetupDialogOf(run);
    ASSERT_NE(dialog, nullptr);
    Xdo("key Tab Up");
    EXPECT_EQ(Narrow(TextOf(EditOf(dialog))), withFile ? "8" : "13");
    Xdo("key alt+F4");
    EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
    if (withFile) {
      EXPECT_EQ(ReadFileBytes(copy.SettingsPath()), "7\n");
      DeleteFileW(copy.SettingsPath().c_str());
    } else {
      EXPECT_EQ(ReadFileBytes(copy.SettingsPath()), std::nullopt);
    }
  }
}

TEST(Setup, AnEmptyFileIsReportedAndNeverWritten) {
  ScratchCopy copy;
  WriteFileBytes(copy.SettingsPath(), "");
  SaverRun run(copy.Program(), L"/c");
  const char* message = "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";
  // Reported before the dialog is shown, which then shows 12.
  HWND box = ErrorBoxOf(run);
  ExpectErrorBox(box, run, "quillfen", message);
  ASSERT_NE(box, nullptr);
  Dismiss(box);
  const HWND dialog = SetupDialogOf(run);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Narrow(TextOf(EditOf(dialog))), "12");
  // OK reports it again and the dialog stays.
  Xdo("key Return");
  box = ErrorBoxOf(run);
  ExpectErrorBox(box, run, "quillfen", message);
  ASSERT_NE(box, nullptr);
  Dismiss(box);
  EXPECT_TRUE(Settle(dialog));
  EXPECT_TRUE(run.Running());
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitExit(StartTimeout), 0u);
  EXPECT_EQ(ReadFileBytes(copy.SettingsPath()), "");
}

}  // namespace
