#include "platform/x11/linux_files.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "app/errors.h"

namespace quillfen {

namespace {

// Closes the descriptor it owns.
class Fd {
 public:
  explicit Fd(int fd = -1) noexcept : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }
  int Get() const noexcept { return fd_; }
  bool Valid() const noexcept { return fd_ >= 0; }
  void Adopt(int fd) noexcept {
    Reset();
    fd_ = fd;
  }
  // Closes now and tells whether the close went well.
  bool Reset() noexcept {
    bool ok = true;
    if (fd_ >= 0) ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

constexpr int OpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

bool LockExclusive(int fd) noexcept {
  int r;
  do r = ::flock(fd, LOCK_EX | LOCK_NB);
  while (r != 0 && errno == EINTR);
  return r == 0;
}

bool WriteAll(int fd, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A link is replaced where it points, so that the rename does not swap the
// link itself for a plain file.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string out(resolved);
  ::free(resolved);
  return out;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string TLinuxFileAccess::ExecutablePath() {
  std::string buf(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) {
      buf.resize(static_cast<std::size_t>(n));
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

bool TLinuxFileAccess::FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string TLinuxFileAccess::ReadWholeFile(const std::string& path) {
  auto fail = [&]() { return EFOpenError(SystemTextToUtf8(path)); };
  Fd fd(::open(path.c_str(), O_RDONLY | OpenFlags));
  if (!fd.Valid() || !LockExclusive(fd.Get())) throw fail();
  struct stat st;
  // Only a plain file: a pipe or a device would never end or block.
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) throw fail();
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw fail();
    if (n == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return bytes;
}

void TLinuxFileAccess::WriteWholeFile(const std::string& path, std::string_view bytes) {
  auto createError = [&]() { return EFCreateError(SystemTextToUtf8(path)); };
  const std::string target = ResolveTarget(path);

  // The old file must be one we may write and nobody else may be using it;
  // holding its lock until it has been replaced keeps readers out meanwhile.
  // A folder of that name fails here too.
  Fd old(::open(target.c_str(), O_WRONLY | OpenFlags));
  std::optional<struct stat> oldStat;
  if (old.Valid()) {
    struct stat st;
    if (!LockExclusive(old.Get()) || ::fstat(old.Get(), &st) != 0 || !S_ISREG(st.st_mode)) throw createError();
    oldStat = st;
  } else if (errno != ENOENT) {
    throw createError();
  }

  // The new text goes to a file of its own beside the old one.
  std::string temp;
  Fd out;
  for (int attempt = 0; attempt < 100 && !out.Valid(); ++attempt) {
    temp = target;
    temp.append(".new").append(std::to_string(::getpid()));
    if (attempt > 0) temp.append("-").append(std::to_string(attempt));
    out.Adopt(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | OpenFlags, 0666));
    if (!out.Valid() && errno != EEXIST) break;
  }
  if (!out.Valid()) throw createError();
  auto discard = [&]() {
    out.Reset();
    ::unlink(temp.c_str());
  };

  if (oldStat) {
    // Keep the old file's permissions and, where allowed, its owner.
    [[maybe_unused]] const int modeKept = ::fchmod(out.Get(), oldStat->st_mode & 07777);
    [[maybe_unused]] const int ownerKept = ::fchown(out.Get(), oldStat->st_uid, oldStat->st_gid);
  }
  if (!WriteAll(out.Get(), bytes) || ::fsync(out.Get()) != 0 || !out.Reset()) {
    discard();
    throw EWriteError();
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    discard();
    throw createError();
  }
  // Make the rename itself durable; failing here loses nothing already written.
  Fd dir(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Valid()) {
    [[maybe_unused]] const int synced = ::fsync(dir.Get());
  }
}

std::string TLinuxFileAccess::SystemTextToUtf8(std::string_view text) {
  return SanitizeUtf8(text);
}

}  // namespace quillfen
