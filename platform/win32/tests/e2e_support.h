// Helpers for the end-to-end tests of quillfen.scr under Wine: a scratch copy
// of the program, runs of it, windows of a process, real X input, the
// registry value of the password check and the settings file.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/system.h"

namespace qfe2e {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// Long enough for a start under Wine on a busy machine, short enough that a
// hang fails the test instead of the run.
inline constexpr Ms StartTimeout = 20s;

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// A folder of its own under the temporary folder, holding a copy of
// quillfen.scr (the settings file lives beside the program). Removed again.
class ScratchCopy {
 public:
  ScratchCopy();
  ~ScratchCopy();
  ScratchCopy(const ScratchCopy&) = delete;
  ScratchCopy& operator=(const ScratchCopy&) = delete;
  const std::wstring& Program() const { return program_; }
  std::wstring SettingsPath() const { return folder_ + L"\\quillfen.ini"; }

 private:
  std::wstring folder_;
  std::wstring program_;
};

// One run of the program; ended by force if a test leaves it running.
class SaverRun {
 public:
  // `arguments` follow the quoted program path, after one blank.
  SaverRun(const std::wstring& program, const std::wstring& arguments);
  // The whole command line as given (the program path included, as written).
  static SaverRun WithCommandLine(const std::wstring& program, const std::wstring& commandLine);
  ~SaverRun();
  SaverRun(SaverRun&& other) noexcept;
  SaverRun(const SaverRun&) = delete;
  SaverRun& operator=(const SaverRun&) = delete;
  SaverRun& operator=(SaverRun&&) = delete;

  DWORD Pid() const { return info_.dwProcessId; }
  // The exit code once the process has ended within `timeout`, pumping this
  // thread's messages meanwhile (a host window must answer its child).
  std::optional<DWORD> WaitExit(Ms timeout);
  bool Running();

 private:
  SaverRun() = default;
  PROCESS_INFORMATION info_{};
};

// Handles this thread's messages for a while.
void Pump(Ms duration);

// The first top-level window of `pid` that satisfies `accept`, waiting up to
// `timeout`; null when none came.
HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& accept, Ms timeout = StartTimeout);
std::vector<HWND> WindowsOf(DWORD pid);
// The first child window of `parent` once it is visible.
HWND WaitForChild(HWND parent, Ms timeout = StartTimeout);

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// Texts of the static controls inside a window (a message box's message).
std::vector<std::wstring> StaticTexts(HWND window);

// Waits until the process behind `window` has handled everything that was
// posted to it before this call: twice a sent message through its loop.
bool Settle(HWND window);

// xdotool on our X display: real pointer and keyboard input.
void Xdo(const std::string& arguments);

// A top-level window of ours standing in for the preview window of the
// display settings.
class HostWindow {
 public:
  HostWindow(int width, int height, bool visible = true);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND Hwnd() const { return hwnd_; }
  void Destroy();
  // The handle as the system passes it on the command line.
  std::wstring Decimal() const;

 private:
  HWND hwnd_ = nullptr;
};

// HKEY_USERS\.Default\Control Panel\Desktop for one test: created when it is
// missing and removed again, or left as it was with the value deleted.
class PasswordSetting {
 public:
  PasswordSetting();
  ~PasswordSetting();
  PasswordSetting(const PasswordSetting&) = delete;
  PasswordSetting& operator=(const PasswordSetting&) = delete;
  void Set(DWORD type, const void* data, DWORD size);
  void SetDword(DWORD value) { Set(REG_DWORD, &value, sizeof value); }
  void Delete();

 private:
  HKEY key_ = nullptr;
  bool created_ = false;
};

std::optional<std::string> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace qfe2e
