#include "platform/win32/win32_platform.h"

#include <commctrl.h>

#include <cstring>
#include <ctime>

#include "app/application.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry.h"
#include "platform/win32/resource.h"
#include "platform/win32/text.h"

namespace quillfen::win32 {

namespace {

constexpr const wchar_t* AppClassName = L"QuillfenApplication";

// A function pointer of the system's, as the type of the entry point it names.
template <typename Fn>
Fn ToFunction(THandle proc) noexcept {
  // Through void(*)(): the one pointer type every function pointer converts to
  // without complaint.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(ToPointer<FARPROC>(proc)));
}

}  // namespace

std::string ModuleFileName() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string TitleFromModulePath(std::string_view modulePath) {
  // The name starts after the last "\" or ":" and its suffix at the last "."
  // of the name; the second byte of a double-byte character is neither.
  std::size_t nameStart = 0;
  std::size_t dot = std::string_view::npos;
  for (std::size_t i = 0; i < modulePath.size(); ++i) {
    const auto byte = static_cast<unsigned char>(modulePath[i]);
    if (IsAnsiLeadByte(byte)) {
      ++i;
      continue;
    }
    if (byte == '\\' || byte == ':') {
      nameStart = i + 1;
      dot = std::string_view::npos;
    } else if (byte == '.') {
      dot = i;
    }
  }
  const std::size_t end = dot == std::string_view::npos ? modulePath.size() : dot;
  return AnsiToUtf8(modulePath.substr(nameStart, end - nameStart));
}

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance), saver_(*this), dialog_(*this) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Platform::AppWindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = AppClassName;
  RegisterClassExW(&wc);
  SaverWindow::Register(instance_);
  SetupDialog::Register(instance_);

  // The application's own top-level window: visible, of no size, in the
  // middle of the screen; it owns the forms and the error boxes and carries
  // the title.
  title_ = TitleFromModulePath(ModuleFileName());
  appWindow_ = CreateWindowExW(0, AppClassName, Utf8ToWide(title_).c_str(),
                               WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
                               GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                               nullptr, instance_, this);
}

Win32Platform::~Win32Platform() {
  saver_.Destroy();
  dialog_.Destroy();
  if (appWindow_ != nullptr) DestroyWindow(appWindow_);
  UnregisterClassW(SetupDialog::ClassName, instance_);
  UnregisterClassW(SaverWindow::ClassName, instance_);
  UnregisterClassW(AppClassName, instance_);
}

void Win32Platform::Attach(TApplication& app) {
  app_ = &app;
}

std::string Win32Platform::DefaultTitle() {
  return TitleFromModulePath(ModuleFileName());
}

void Win32Platform::SetApplicationTitle(const std::string& title) {
  title_ = title;
  if (appWindow_ != nullptr) SetWindowTextW(appWindow_, Utf8ToWide(title).c_str());
}

THandle Win32Platform::ApplicationWindow() {
  return FromHwnd(appWindow_);
}

void Win32Platform::ShowWindow(THandle window, int command) {
  ::ShowWindow(ToHwnd(window), command);
}

THandle Win32Platform::GetForegroundWindow() {
  return FromHwnd(::GetForegroundWindow());
}

bool Win32Platform::GuardExists(const char* name) {
  const HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
  if (existing == nullptr) return false;
  CloseHandle(existing);
  return true;
}

THandle Win32Platform::CreateGuard(const char* name) {
  // Held until the process ends; the system releases and closes it then.
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.lpSecurityDescriptor = nullptr;
  attributes.bInheritHandle = TRUE;
  return FromPointer(CreateMutexA(&attributes, TRUE, name));
}

std::int32_t Win32Platform::ScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}

std::int32_t Win32Platform::ScreenHeight() {
  return GetSystemMetrics(SM_CYSCREEN);
}

TPoint Win32Platform::GetCursorPos() {
  POINT p{0, 0};
  ::GetCursorPos(&p);
  return {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

void Win32Platform::ShowCursor(bool show) {
  ::ShowCursor(show ? TRUE : FALSE);
}

bool Win32Platform::GetWindowRect(THandle window, TWindowRect& rect) {
  RECT r{0, 0, 0, 0};
  if (!::GetWindowRect(ToHwnd(window), &r)) return false;
  rect = {static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top), static_cast<std::int32_t>(r.right),
          static_cast<std::int32_t>(r.bottom)};
  return true;
}

std::uint32_t Win32Platform::CalendarTimeSeconds() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

THandle Win32Platform::RegOpenKey(const char* path) {
  return FromPointer(OpenRegistryKey(HKEY_USERS, path));
}

TRegValue Win32Platform::RegReadInteger(THandle key, const char* name) {
  return ReadRegistryInteger(ToPointer<HKEY>(key), name);
}

void Win32Platform::RegCloseKey(THandle key) {
  if (key != 0) ::RegCloseKey(ToPointer<HKEY>(key));
}

THandle Win32Platform::LoadLibrary(const char* name) {
  return FromPointer(LoadLibraryA(name));
}

THandle Win32Platform::GetProcAddress(THandle module, const char* name) {
  return FromPointer(::GetProcAddress(ToPointer<HMODULE>(module), name));
}

void Win32Platform::FreeLibrary(THandle module) {
  if (module != 0) ::FreeLibrary(ToPointer<HMODULE>(module));
}

std::int32_t Win32Platform::CallVerifyScreenSavePwd(THandle proc, THandle window) {
  using VerifyScreenSavePwd = BOOL(WINAPI*)(HWND);
  return ToFunction<VerifyScreenSavePwd>(proc)(ToHwnd(window));
}

std::uint32_t Win32Platform::CallPwdChangePassword(THandle proc, const char* name, THandle owner, std::uint32_t a,
                                                   std::uint32_t b) {
  using PwdChangePasswordA = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  return ToFunction<PwdChangePasswordA>(proc)(name, ToHwnd(owner), a, b);
}

std::span<const std::uint8_t> Win32Platform::BitmapFile(int id, std::vector<std::uint8_t>& cache) {
  if (!cache.empty()) return cache;
  // A bitmap resource is a bitmap file without its file header; the header
  // is put back so that the bytes are those of the file in res/.
  const HRSRC info = FindResourceW(instance_, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_BITMAP));
  if (info == nullptr) return {};
  const HGLOBAL loaded = LoadResource(instance_, info);
  const DWORD size = SizeofResource(instance_, info);
  const auto* data = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) return {};
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof header);
  DWORD colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = 1u << header.biBitCount;
  const DWORD offset = sizeof(BITMAPFILEHEADER) + header.biSize + colours * sizeof(RGBQUAD);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = static_cast<DWORD>(sizeof file + size);
  file.bfOffBits = offset;
  cache.resize(sizeof file + size);
  std::memcpy(cache.data(), &file, sizeof file);
  std::memcpy(cache.data() + sizeof file, data, size);
  return cache;
}

std::span<const std::uint8_t> Win32Platform::SpriteSheetBitmap() {
  return BitmapFile(QF_IDB_SPRITE_SHEET, spriteSheet_);
}

std::span<const std::uint8_t> Win32Platform::DialogPictureBitmap() {
  return BitmapFile(QF_IDB_DIALOG_PICTURE, dialogPicture_);
}

void Win32Platform::ShowErrorBox(const std::string& caption, const std::string& text) {
  // Modal for the whole application: the forms take no input meanwhile (their
  // timers keep running), and a topmost saver window makes room for the box.
  const HWND active = GetActiveWindow();
  const bool saverEnabled = saver_.Hwnd() != nullptr && IsWindowEnabled(saver_.Hwnd());
  const bool dialogEnabled = dialog_.Hwnd() != nullptr && IsWindowEnabled(dialog_.Hwnd());
  if (saverEnabled) EnableWindow(saver_.Hwnd(), FALSE);
  if (dialogEnabled) dialog_.Disable();
  saver_.LowerFromTopmost();
  MessageBoxW(appWindow_, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), MB_ICONERROR);
  saver_.RestoreTopmost();
  if (saverEnabled && saver_.Hwnd() != nullptr) EnableWindow(saver_.Hwnd(), TRUE);
  if (dialogEnabled) dialog_.Enable();
  if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
}

bool Win32Platform::CreateSaverWindow(const TCreateParams& params) {
  return saver_.Create(instance_, appWindow_, params);
}

THandle Win32Platform::SaverWindowHandle() {
  return FromHwnd(saver_.Hwnd());
}

void Win32Platform::ShowSaverWindow() {
  saver_.Show();
}

void Win32Platform::DestroySaverWindow() {
  saver_.Destroy();
}

void Win32Platform::PresentFrame(const TFrameView& frame, std::span<const TRect> changed) {
  saver_.Present(frame, changed);
}

void Win32Platform::CreateSetupDialog(TOptDialog& dialog) {
  dialog_.Create(instance_, appWindow_, dialog);
}

void Win32Platform::DestroySetupDialog() {
  dialog_.Destroy();
}

void Win32Platform::RunMessageLoop() {
  if (app_ == nullptr) return;
  // Without a main form there is nothing to wait for.
  if (saver_.Hwnd() == nullptr && dialog_.Hwnd() == nullptr) return;
  if (saver_.Hwnd() != nullptr && !IsWindowVisible(saver_.Hwnd())) saver_.Show();
  if (dialog_.Hwnd() != nullptr) dialog_.Show();

  MSG msg;
  while (!app_->Terminated()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;  // the quit message, or no queue left
    const TMsg queued{FromHwnd(msg.hwnd), msg.message, static_cast<std::uint64_t>(msg.wParam),
                      static_cast<std::int64_t>(msg.lParam)};
    bool drop = false;
    Deliver([&](TApplication& app) { drop = app.FilterMessage(queued); });
    if (drop) continue;
    if (dialog_.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK Win32Platform::AppWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<Win32Platform>(hwnd, message, lParam);
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->HandleAppMessage(hwnd, message, wParam, lParam);
}

LRESULT Win32Platform::HandleAppMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // Closing the application (from its taskbar button) closes its form.
      if (saver_.Hwnd() != nullptr) {
        Deliver([](TApplication& app) { app.HandleCloseMessage(); });
      } else if (dialog_.Hwnd() != nullptr) {
        Deliver([](TApplication& app) { app.HandleDialogClose(); });
      }
      return 0;
    case WM_QUERYENDSESSION:
      // The forms' own windows answer for the application.
      return TRUE;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quillfen::win32
