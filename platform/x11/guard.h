// The single-preview guard: a name in the abstract Unix socket namespace,
// bound by the preview that holds it. The kernel lets go of it when the
// process ends in any way, SIGKILL included, and nothing is left on disk.
#pragma once

#include <string>

namespace quillfen::x11 {

class TGuard {
 public:
  TGuard() = default;
  ~TGuard();
  TGuard(const TGuard&) = delete;
  TGuard& operator=(const TGuard&) = delete;

  // True when another process holds `name`. When it is free, the name is
  // already taken for this process, so that a Create right after it cannot
  // lose a race against a second preview started at the same moment.
  bool Exists(const std::string& name);
  // Claims `name` (if Exists has not already); 0 when it could not.
  int Create(const std::string& name);

 private:
  int Bind(const std::string& name);
  int fd_ = -1;
  std::string name_;
};

// The socket name of a guard: one per user, as the system's named objects
// are one per session.
std::string GuardSocketName(const std::string& name);

}  // namespace quillfen::x11
