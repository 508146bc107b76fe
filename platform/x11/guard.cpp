#include "platform/x11/guard.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace quillfen::x11 {

std::string GuardSocketName(const std::string& name) {
  return "quillfen/" + name + "/" + std::to_string(getuid());
}

TGuard::~TGuard() {
  // Held until the process ends: the guard lives as long as the program's
  // platform object, which main() keeps to the end.
  if (fd_ >= 0) close(fd_);
}

int TGuard::Bind(const std::string& name) {
  const std::string socketName = GuardSocketName(name);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketName.size() + 1 > sizeof(address.sun_path)) return -ENAMETOOLONG;
  // A leading NUL puts the name into the abstract namespace.
  std::memcpy(address.sun_path + 1, socketName.data(), socketName.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -errno;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + socketName.size());
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    const int error = errno;
    close(fd);
    return -error;
  }
  return fd;
}

bool TGuard::Exists(const std::string& name) {
  if (fd_ >= 0 && name_ == name) return false;
  const int fd = Bind(name);
  if (fd == -EADDRINUSE) return true;
  // Any other failure is the system's: the preview runs without the guard.
  if (fd >= 0 && fd_ < 0) {
    fd_ = fd;
    name_ = name;
  } else if (fd >= 0) {
    close(fd);
  }
  return false;
}

int TGuard::Create(const std::string& name) {
  if (fd_ < 0) {
    fd_ = Bind(name);
    if (fd_ < 0) return 0;
    name_ = name;
  }
  return name_ == name ? fd_ + 1 : 0;
}

}  // namespace quillfen::x11
