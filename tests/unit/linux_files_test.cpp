// The Linux file layer: permissions (checked as an unprivileged user, since
// the tests may run as root), locks held by other processes, a short write,
// special files and the program's own path.
#if defined(__linux__)

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "settings/settings_file.h"
#include "settings_support.h"

using namespace quillfen;
using namespace qftest;
using namespace std::string_literals;

namespace {

// Runs `body` in a child process and returns the text it gives back.
std::string InChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string out;
    try {
      out = body();
    } catch (const std::exception& e) {
      out = "child failed: "s + e.what();
    }
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buf[512];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out += " [child died]";
  return out;
}

// In a child process: go on as "nobody" when we are root, so that file
// permissions bind.
void BecomeUnprivileged() {
  if (::geteuid() != 0) return;
  uid_t uid = 65534;
  gid_t gid = 65534;
  if (const passwd* pw = ::getpwnam("nobody")) {
    uid = pw->pw_uid;
    gid = pw->pw_gid;
  }
  if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 || ::geteuid() == 0)
    throw std::runtime_error("cannot drop root");
}

void Chmod(const fs::path& p, mode_t mode) {
  ASSERT_EQ(::chmod(p.c_str(), mode), 0) << p;
}

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

// The reads and a write, all as an unprivileged user. The write uses the
// lines of its own read, or a single line when that read failed.
std::string ReadAndWriteUnprivileged(const ScratchFolder& folder, const std::string& editText) {
  return InChild([&] {
    BecomeUnprivileged();
    ScratchFiles files(folder);
    TSettingsDialogModel dialog;
    std::string out = "window " + Outcome([&] { return WindowRead(files); });
    out += " | dialog " + Outcome([&] { return dialog.DialogRead(files); });
    if (dialog.SettingsLines.Count() == 0) dialog.SettingsLines.Add("lines");
    out += " | write " + Outcome([&] { dialog.DialogWrite(files, editText); });
    out += " | line 1 " + dialog.SettingsLines.Get(0);
    return out;
  });
}

TEST(LinuxFiles, PermissionsOfFileAndFolder) {
  const std::string before = "300\r\nkeep\r\n";
  const struct {
    const char* what;
    mode_t folderMode;
    std::optional<mode_t> fileMode;    // none: no file
    const char* reads;                 // what both reads give; "open": the open error
    std::optional<std::string> after;  // none: the write fails with the create error
  } cases[] = {
      {"writable file", 0777, 0666, "300", "40\r\nkeep\r\n"},
      {"no file, writable folder", 0777, std::nullopt, "12", "40\r\n"},
      {"a file we may not read", 0777, 0222, "open", "40\r\n"},
      {"a file we may neither read nor write", 0777, 0000, "open", std::nullopt},
      {"a read-only file", 0777, 0444, "300", std::nullopt},
      {"folder without write permission", 0555, 0666, "300", std::nullopt},
      {"no file, folder without write permission", 0555, std::nullopt, "12", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const fs::path ini = folder.Path() / "quillfen.ini";
    if (c.fileMode) {
      folder.WriteSettings(before);
      Chmod(ini, *c.fileMode);
    }
    Chmod(folder.Path(), c.folderMode);

    const std::string reads = c.reads == "open"s ? OpenError(folder.SettingsFile()) : c.reads;
    const std::string write = c.after ? "ok" : CreateError(folder.SettingsFile());
    EXPECT_EQ(ReadAndWriteUnprivileged(folder, "40"),
              "window " + reads + " | dialog " + (c.fileMode ? reads : "none") + " | write " + write + " | line 1 40");

    Chmod(folder.Path(), 0755);
    if (c.fileMode) {
      // Written or not, the file has the permissions it had.
      EXPECT_EQ(ModeOf(ini), *c.fileMode);
      EXPECT_EQ(folder.ReadSettings(), c.after.value_or(before));
    } else {
      EXPECT_EQ(folder.ReadSettings(), c.after);
    }
    EXPECT_EQ(folder.Names(), c.fileMode || c.after ? "quillfen.ini" : "");
  }
}

// Another process holds a lock on the file until the returned guard goes.
class LockHolder {
 public:
  LockHolder(const std::string& path, int operation) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      const int fd = ::open(path.c_str(), O_RDONLY);
      const char ok = fd >= 0 && ::flock(fd, operation) == 0 ? 'y' : 'n';
      if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
      char c;
      while (::read(release[0], &c, 1) > 0) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = 'n';
    locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
    ::close(ready[0]);
  }
  ~LockHolder() { Release(); }
  bool Locked() const { return locked_; }
  void Release() {
    if (release_ >= 0) ::close(release_);
    release_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

TEST(LinuxFiles, AFileLockedByAnotherProcessCanBeNeitherReadNorWritten) {
  for (const int operation : {LOCK_EX, LOCK_SH}) {
    SCOPED_TRACE(operation == LOCK_EX ? "exclusive" : "shared");
    ScratchFolder folder;
    folder.WriteSettings("300\r\nkeep\r\n");
    ScratchFiles files(folder);
    TSettingsDialogModel before;  // a dialog opened before the other process came
    ASSERT_EQ(Outcome([&] { return before.DialogRead(files); }), "300");

    LockHolder holder(folder.SettingsFile(), operation);
    ASSERT_TRUE(holder.Locked());
    EXPECT_EQ(Outcome([&] { return WindowRead(files); }), OpenError(folder.SettingsFile()));
    TSettingsDialogModel during;
    EXPECT_EQ(Outcome([&] { return during.DialogRead(files); }), OpenError(folder.SettingsFile()));
    EXPECT_EQ(during.SettingsLines.Count(), 0u);
    EXPECT_EQ(Outcome([&] { before.DialogWrite(files, "40"); }), CreateError(folder.SettingsFile()));
    EXPECT_EQ(folder.ReadSettings(), "300\r\nkeep\r\n");
    EXPECT_EQ(folder.Names(), "quillfen.ini");

    holder.Release();
    EXPECT_EQ(Outcome([&] { before.DialogWrite(files, "40"); }), "ok");
    EXPECT_EQ(Outcome([&] { return WindowRead(files); }), "40");
  }
}

TEST(LinuxFiles, AShortWriteLeavesTheOldFileWhole) {
  const std::string before = "300\r\nsecond line that makes the text long\r\n";
  // With room for the whole text the same write goes through.
  for (const rlim_t limit : {rlim_t{8}, rlim_t{4096}}) {
    SCOPED_TRACE(limit);
    ScratchFolder folder;
    folder.WriteSettings(before);
    const std::string outcome = InChild([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit small{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return "no limit"s;
      ScratchFiles files(folder);
      TSettingsDialogModel dialog;
      dialog.DialogRead(files);
      return Outcome([&] { dialog.DialogWrite(files, "40"); });
    });
    if (limit == 8) {
      EXPECT_EQ(outcome, WriteError);
      EXPECT_EQ(folder.ReadSettings(), before);
    } else {
      EXPECT_EQ(outcome, "ok");
      EXPECT_EQ(folder.ReadSettings(), "40\r\nsecond line that makes the text long\r\n");
    }
    EXPECT_EQ(folder.Names(), "quillfen.ini");
  }
}

TEST(LinuxFiles, APipeOfThatNameNeitherBlocksNorIsReplaced) {
  ScratchFolder folder;
  ASSERT_EQ(::mkfifo(folder.SettingsFile().c_str(), 0666), 0);
  ScratchFiles files(folder);
  EXPECT_TRUE(files.FileExists(folder.SettingsFile()));
  EXPECT_EQ(Outcome([&] { return WindowRead(files); }), OpenError(folder.SettingsFile()));
  EXPECT_EQ(Outcome([&] { files.WriteWholeFile(folder.SettingsFile(), "40\r\n"); }),
            CreateError(folder.SettingsFile()));
  EXPECT_TRUE(fs::is_fifo(folder.Path() / "quillfen.ini"));
  EXPECT_EQ(folder.Names(), "quillfen.ini");
}

TEST(LinuxFiles, ALinkIsWrittenWhereItPoints) {
  ScratchFolder folder;
  fs::create_directory(folder.Path() / "real");
  folder.Write("real/settings.txt", "300\r\n");
  fs::create_symlink("real/settings.txt", folder.Path() / "quillfen.ini");
  ScratchFiles files(folder);
  TSettingsDialogModel dialog;
  ASSERT_EQ(Outcome([&] { return dialog.DialogRead(files); }), "300");
  dialog.DialogWrite(files, "40");
  EXPECT_TRUE(fs::is_symlink(folder.Path() / "quillfen.ini"));
  EXPECT_EQ(folder.Read("real/settings.txt"), "40\r\n");
  EXPECT_EQ(folder.Names(), "quillfen.ini real");
}

TEST(LinuxFiles, MessagesStayValidText) {
  ScratchFolder folder;
  folder.WriteSettings(
      "\xFF"
      "25\r\n");
  ScratchFiles files(folder);
  EXPECT_EQ(Outcome([&] { return WindowRead(files); }), ConvertError("\xEF\xBF\xBD"
                                                                     "25"));
}

TEST(LinuxFiles, SettingsPathIsBesideTheRunningProgram) {
  TLinuxFileAccess files;
  const fs::path exe = files.ExecutablePath();
  EXPECT_TRUE(exe.is_absolute());
  EXPECT_EQ(exe.filename(), "quillfen_tests");
  EXPECT_TRUE(fs::is_regular_file(exe));
  EXPECT_EQ(GetSettingsPath(files), (exe.parent_path() / "quillfen.ini").string());
}

}  // namespace

#endif
