#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>

namespace kestrave::platform {
namespace {

ISystemCalls systemCalls;
ISystemCalls* current = &systemCalls;

}  // namespace

int ISystemCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}
ssize_t ISystemCalls::Read(int fd, void* buffer, std::size_t count) {
  return ::read(fd, buffer, count);
}
ssize_t ISystemCalls::Write(int fd, const void* buffer, std::size_t count) {
  return ::write(fd, buffer, count);
}
int ISystemCalls::Close(int fd) {
  return ::close(fd);
}
int ISystemCalls::ChangeMode(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}
int ISystemCalls::ChangeOwner(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}
int ISystemCalls::Truncate(int fd, off_t length) {
  return ::ftruncate(fd, length);
}
int ISystemCalls::Sync(int fd) {
  return ::fsync(fd);
}
bool ISystemCalls::KeepsFilesInMemory(const char* folder) {
  struct statfs info {};
  if (::statfs(folder, &info) != 0) return false;
  return info.f_type == TMPFS_MAGIC || info.f_type == RAMFS_MAGIC;
}
int ISystemCalls::Rename(const char* from, const char* to) {
  return ::rename(from, to);
}
int ISystemCalls::Unlink(const char* path) {
  return ::unlink(path);
}

ISystemCalls& SystemCalls() {
  return *current;
}

void SetSystemCalls(ISystemCalls* calls) {
  current = calls ? calls : &systemCalls;
}

}  // namespace kestrave::platform
