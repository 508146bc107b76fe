#include "platform/win32/win32_files.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "app/errors.h"

namespace quillfen {

namespace {

// Closes the handle it owns.
class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) noexcept : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(); }
  HANDLE Get() const noexcept { return h_; }
  bool Valid() const noexcept { return h_ != INVALID_HANDLE_VALUE; }
  bool Reset() noexcept {
    bool ok = true;
    if (h_ != INVALID_HANDLE_VALUE) ok = ::CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool IsLeadByte(unsigned char c) {
  return ::IsDBCSLeadByte(c) != 0;
}

HANDLE OpenUnshared(const std::string& path, DWORD access, DWORD disposition) {
  return ::CreateFileA(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::string TWin32FileAccess::ExecutablePath() {
  // MAX_PATH covers almost every case; a longer path is fetched whole.
  std::string buf(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

TPathRules TWin32FileAccess::PathRules() {
  return {"\\:", IsLeadByte};
}

bool TWin32FileAccess::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string TWin32FileAccess::ReadWholeFile(const std::string& path) {
  auto fail = [&]() { return EFOpenError(SystemTextToUtf8(path)); };
  Handle h(OpenUnshared(path, GENERIC_READ, OPEN_EXISTING));
  if (!h.Valid()) throw fail();
  std::string bytes;
  char chunk[4096];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(h.Get(), chunk, sizeof chunk, &n, nullptr)) throw fail();
    if (n == 0) break;
    bytes.append(chunk, n);
  }
  return bytes;
}

void TWin32FileAccess::WriteWholeFile(const std::string& path, std::string_view bytes) {
  auto createError = [&]() { return EFCreateError(SystemTextToUtf8(path)); };

  // The old file must be one we may write (not read-only, not a folder, no
  // access denied) and nobody else may have it open. The rename below would
  // get around the first of these.
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) throw createError();
    Handle old(OpenUnshared(path, GENERIC_WRITE, OPEN_EXISTING));
    if (!old.Valid()) throw createError();
  }

  // The new text goes to a file of its own beside the old one.
  const std::string temp = path + ".new" + std::to_string(::GetCurrentProcessId());
  Handle out(OpenUnshared(temp, GENERIC_WRITE, CREATE_ALWAYS));
  if (!out.Valid()) throw createError();
  if (!WriteAll(out.Get(), bytes) || !::FlushFileBuffers(out.Get()) || !out.Reset()) {
    out.Reset();
    ::DeleteFileA(temp.c_str());
    throw EWriteError();
  }
  // Fails, and leaves the old file alone, while another process has it open.
  if (!::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileA(temp.c_str());
    throw createError();
  }
}

std::string TWin32FileAccess::SystemTextToUtf8(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > INT_MAX) return SanitizeUtf8(text);
  const int size = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (wide <= 0) return SanitizeUtf8(text);
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, w.data(), wide);
  const int narrow = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  if (narrow <= 0) return SanitizeUtf8(text);
  std::string out(static_cast<std::size_t>(narrow), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), narrow, nullptr, nullptr);
  return out;
}

}  // namespace quillfen
