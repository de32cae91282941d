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

int ISystemCalls::Open(int folder, const char* name, int flags, mode_t mode) {
  return ::openat(folder, name, flags, mode);
}
ssize_t ISystemCalls::Read(int fd, void* buffer, std::size_t count) {
  return ::read(fd, buffer, count);
}
ssize_t ISystemCalls::Write(int fd, const void* buffer, std::size_t count) {
  return ::write(fd, buffer, count);
}
ssize_t ISystemCalls::CopyRange(int from, int to, std::size_t count) {
  return ::copy_file_range(from, nullptr, to, nullptr, count, 0);
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
int ISystemCalls::Reserve(int fd, off_t length) {
  return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length);
}
int ISystemCalls::Sync(int fd) {
  return ::fsync(fd);
}
bool ISystemCalls::KeepsFilesInMemory(int folder) {
  struct statfs info {};
  if (::fstatfs(folder, &info) != 0) return false;
  return info.f_type == TMPFS_MAGIC || info.f_type == RAMFS_MAGIC;
}
int ISystemCalls::Rename(int fromFolder, const char* from, int toFolder, const char* to) {
  return ::renameat(fromFolder, from, toFolder, to);
}
int ISystemCalls::Exchange(int fromFolder, const char* from, int toFolder, const char* to) {
  return ::renameat2(fromFolder, from, toFolder, to, RENAME_EXCHANGE);
}
int ISystemCalls::Link(int fromFolder, const char* from, int toFolder, const char* to) {
  return ::linkat(fromFolder, from, toFolder, to, 0);
}
int ISystemCalls::Unlink(int folder, const char* name) {
  return ::unlinkat(folder, name, 0);
}

ISystemCalls& SystemCalls() {
  return *current;
}

void SetSystemCalls(ISystemCalls* calls) {
  current = calls ? calls : &systemCalls;
}

}  // namespace kestrave::platform
