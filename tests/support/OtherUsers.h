#pragma once

// Other users and file systems of a test's own, for tests that run as the superuser (CI does):
// user ids no account on the machine has, so nothing of the machine is touched, and small tmpfs
// mounts that fill up when the test wants a full disk. Header only.

#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace kestrave::test {

// Whose files a test plays with: the user who owns them, the one who plants links, a third.
inline constexpr uid_t kAlice = 64101;
inline constexpr uid_t kMallory = 64102;
inline constexpr uid_t kBob = 64103;

inline bool IsSuperuser() {
  return ::geteuid() == 0;
}

// Runs Work in a child process as User (the group of the same number) and answers its exit
// code; -1 when the child ended otherwise.
inline int RunAs(uid_t user, const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(user, user, user) != 0 ||
        ::setresuid(user, user, user) != 0)
      ::_exit(99);
    ::_exit(work());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The exit code of a shell command run as User (the superuser when User is 0).
inline int ShellAs(uid_t user, const std::string& command) {
  return RunAs(user, [&] {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
  });
}

inline void Own(const std::string& path, uid_t user, mode_t mode) {
  if (::lchown(path.c_str(), user, user) != 0 || ::chmod(path.c_str(), mode) != 0)
    throw std::runtime_error("cannot give " + path + " to its owner");
}

// A tmpfs of the given size (mount's "size=" text: "256k") at Folder, made when missing;
// unmounted when the object goes.
class TmpfsMount {
 public:
  TmpfsMount(std::string folder, const std::string& size) : folder_(std::move(folder)) {
    ::mkdir(folder_.c_str(), 0755);
    const std::string options = "size=" + size + ",mode=0755";
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~TmpfsMount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

}  // namespace kestrave::test
