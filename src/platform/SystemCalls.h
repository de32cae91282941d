#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>

namespace kestrave::platform {

// The file system calls the platform layer makes, behind one seam, so tests can make any of
// them fail the way a full disk, a vanished folder or a shrinking file would. The default
// passes every call to the system; errors come back as the system's (-1 and errno). Names are
// taken relative to an open folder (AT_FDCWD: the current one), so a folder renamed meanwhile
// is still the one meant.
class ISystemCalls {
 public:
  virtual ~ISystemCalls() = default;
  virtual int Open(int folder, const char* name, int flags, mode_t mode);
  virtual ssize_t Read(int fd, void* buffer, std::size_t count);
  virtual ssize_t Write(int fd, const void* buffer, std::size_t count);
  // Copies inside the system, without passing the bytes through the program.
  virtual ssize_t CopyRange(int from, int to, std::size_t count);
  virtual int Close(int fd);
  virtual int ChangeMode(int fd, mode_t mode);
  virtual int ChangeOwner(int fd, uid_t owner, gid_t group);
  virtual int Truncate(int fd, off_t length);
  // Makes sure the disk has room for the file's first Length bytes, without changing its size.
  virtual int Reserve(int fd, off_t length);
  // Waits until what was written to the file (or the entries of a folder) is on the disk.
  virtual int Sync(int fd);
  // True for a folder on a file system that lives in memory (tmpfs, ramfs): no disk to wait for.
  virtual bool KeepsFilesInMemory(int folder);
  virtual int Rename(int fromFolder, const char* from, int toFolder, const char* to);
  // Swaps two names in one step: each then names what the other did.
  virtual int Exchange(int fromFolder, const char* from, int toFolder, const char* to);
  virtual int Link(int fromFolder, const char* from, int toFolder, const char* to);
  virtual int Unlink(int folder, const char* name);
};

ISystemCalls& SystemCalls();
// Installs other calls (nullptr: the system's again).
void SetSystemCalls(ISystemCalls* calls);

}  // namespace kestrave::platform
