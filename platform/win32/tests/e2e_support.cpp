#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qfe2e {

namespace {

using Clock = std::chrono::steady_clock;

// The program under test, from the environment; a Unix path is reached
// through Wine's drive Z:.
std::wstring ProgramUnderTest() {
  const char* path = std::getenv("QF_SAVER");
  if (path == nullptr || *path == '\0') return {};
  std::wstring p = Widen(path);
  if (p.front() == L'/') {
    for (wchar_t& c : p)
      if (c == L'/') c = L'\\';
    p = L"Z:" + p;
  }
  return p;
}

}  // namespace

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

ScratchCopy::ScratchCopy() {
  // A unique name from the system, turned from a file into a folder.
  wchar_t temp[MAX_PATH];
  wchar_t unique[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_NE(GetTempFileNameW(temp, L"qfe", 0, unique), 0u);
  DeleteFileW(unique);
  folder_ = unique;
  EXPECT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  program_ = folder_ + L"\\quillfen.scr";
  const std::wstring source = ProgramUnderTest();
  EXPECT_FALSE(source.empty()) << "QF_SAVER names no program";
  EXPECT_TRUE(CopyFileW(source.c_str(), program_.c_str(), FALSE))
      << "cannot copy " << Narrow(source) << ": error " << GetLastError();
}

ScratchCopy::~ScratchCopy() {
  DeleteFileW(SettingsPath().c_str());
  // A program that was ended by force may hold its file a moment longer.
  for (int i = 0; i < 50 && !DeleteFileW(program_.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND; ++i) Sleep(100);
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") DeleteFileW((folder_ + L"\\" + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder_.c_str());
}

SaverRun::SaverRun(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const BOOL ok = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &info_);
  EXPECT_TRUE(ok) << "cannot start " << Narrow(commandLine) << ": error " << GetLastError();
}

SaverRun SaverRun::WithCommandLine(const std::wstring& program, const std::wstring& commandLine) {
  SaverRun run;
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const BOOL ok =
      CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &run.info_);
  EXPECT_TRUE(ok) << "cannot start " << Narrow(commandLine) << ": error " << GetLastError();
  return run;
}

SaverRun::SaverRun(SaverRun&& other) noexcept : info_(other.info_) {
  other.info_ = {};
}

SaverRun::~SaverRun() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> SaverRun::WaitExit(Ms timeout) {
  if (info_.hProcess == nullptr) return std::nullopt;
  const auto end = Clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<Ms>(end - Clock::now()).count();
    const DWORD wait = left > 0 ? static_cast<DWORD>(left) : 0;
    const DWORD r = MsgWaitForMultipleObjects(1, &info_.hProcess, FALSE, wait, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(info_.hProcess, &code);
      return code;
    }
    if (r != WAIT_OBJECT_0 + 1) return std::nullopt;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool SaverRun::Running() {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Pump(Ms duration) {
  const auto end = Clock::now() + duration;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  } while (Clock::now() < end);
}

namespace {

struct WindowSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOf(HWND w, LPARAM p) {
  auto* search = reinterpret_cast<WindowSearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner == search->pid) search->found.push_back(w);
  return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOf(DWORD pid) {
  WindowSearch search{pid, {}};
  EnumWindows(&CollectWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& accept, Ms timeout) {
  const auto end = Clock::now() + timeout;
  do {
    for (HWND w : WindowsOf(pid))
      if (accept(w)) return w;
    Pump(50ms);
  } while (Clock::now() < end);
  return nullptr;
}

HWND WaitForChild(HWND parent, Ms timeout) {
  const auto end = Clock::now() + timeout;
  do {
    // Seen only once made: during its creation a window is not yet visible.
    const HWND child = GetWindow(parent, GW_CHILD);
    if (child != nullptr && IsWindowVisible(child)) return child;
    Pump(50ms);
  } while (Clock::now() < end);
  return nullptr;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT rather than GetWindowText, which does not ask other processes'
  // controls for their text.
  wchar_t text[1024] = L"";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
  return text;
}

std::vector<std::wstring> StaticTexts(HWND window) {
  std::vector<std::wstring> texts;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) texts.push_back(TextOf(child));
  }
  return texts;
}

bool Settle(HWND window) {
  // A sent message is handled when the target's loop next asks for a message,
  // before that call returns what was posted earlier; the second one is thus
  // handled only after the loop has taken everything posted before the first.
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored)) return false;
  }
  return true;
}

void Xdo(const std::string& arguments) {
  // Wine starts a Unix program as it is, with our environment (DISPLAY), but
  // its process handle cannot be waited for: the shell leaves the exit status
  // in a file of its own, which Wine shows on drive Z:.
  wchar_t unique[MAX_PATH];
  ASSERT_NE(GetTempFileNameW(L"Z:\\tmp", L"qfx", 0, unique), 0u) << "no scratch file in /tmp";
  DeleteFileW(unique);
  std::string unixPath = Narrow(unique).substr(2);
  for (char& c : unixPath)
    if (c == '\\') c = '/';
  std::wstring line = Widen("/bin/sh -c \"/usr/bin/xdotool " + arguments + "; echo $? > " + unixPath + ".tmp; mv " +
                            unixPath + ".tmp " + unixPath + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      << "cannot run xdotool: error " << GetLastError();
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::optional<std::string> status;
  for (int i = 0; i < 200 && !status; ++i) {
    Pump(50ms);
    status = ReadFileBytes(unique);
  }
  DeleteFileW(unique);
  ASSERT_TRUE(status.has_value()) << "xdotool " << arguments << " did not finish";
  EXPECT_EQ(*status, "0\n") << "xdotool " << arguments;
  // X input reaches the programs through their own connections; give it time.
  Pump(300ms);
}

HostWindow::HostWindow(int width, int height, bool visible) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = L"QuillfenTestHost";
  RegisterClassExW(&wc);
  hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"preview host", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40,
                          30, width, height, nullptr, nullptr, wc.hInstance, nullptr);
  EXPECT_NE(hwnd_, nullptr);
  Pump(100ms);
}

HostWindow::~HostWindow() {
  Destroy();
}

void HostWindow::Destroy() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  Pump(50ms);
}

std::wstring HostWindow::Decimal() const {
  return std::to_wstring(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(hwnd_)));
}

namespace {
constexpr const wchar_t* DesktopKey = L".Default\\Control Panel\\Desktop";
constexpr const wchar_t* PasswordValue = L"ScreenSaveUsePassword";
}  // namespace

PasswordSetting::PasswordSetting() {
  DWORD disposition = 0;
  const LONG rc = RegCreateKeyExW(HKEY_USERS, DesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, &disposition);
  EXPECT_EQ(rc, ERROR_SUCCESS);
  created_ = disposition == REG_CREATED_NEW_KEY;
  Delete();
}

PasswordSetting::~PasswordSetting() {
  if (key_ == nullptr) return;
  Delete();
  RegCloseKey(key_);
  if (created_) RegDeleteKeyW(HKEY_USERS, DesktopKey);
}

void PasswordSetting::Set(DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(RegSetValueExW(key_, PasswordValue, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

void PasswordSetting::Delete() {
  RegDeleteValueW(key_, PasswordValue);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

}  // namespace qfe2e
