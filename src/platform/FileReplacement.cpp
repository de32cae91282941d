#include "platform/FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <utility>

#include "platform/SystemCalls.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"

namespace kestrave::platform {
namespace {

constexpr int kNameAttempts = 100;
constexpr int kMaxLinkHops = 40;  // as many as the system follows before it answers ELOOP
constexpr long kUsualNameLimit = 255;
constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
constexpr mode_t kPrivateMode = 0600;  // until the file has the target's owner and mode

// A temporary file is named ".NAME.NNNNNN.saving": hidden, its origin visible, six digits that
// tell it from others.
constexpr char kTemporarySuffix[] = ".saving";
constexpr int kTagDigits = 6;
constexpr long kTemporaryExtra = 2 + kTagDigits + sizeof kTemporarySuffix - 1;

// Where a path ends after every link on the way, and what is there when that is known.
struct LinkEnd {
  std::string Path;
  std::optional<struct stat> Info;  // what the path names, when it is not a link
  int Error = 0;                    // why nothing is known of it, when nothing is
};

// The file a path leads to, through every link on the way, even when that file does not exist
// yet; a path still naming a link after that is a loop, which the system reports when used.
LinkEnd FollowLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return {std::move(path), std::nullopt, errno};
    if (!S_ISLNK(info.st_mode)) return {std::move(path), info, 0};
    std::string destination(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), destination.data(), destination.size());
    if (length <= 0 || length >= PATH_MAX) return {std::move(path), std::nullopt, ELOOP};
    destination.resize(static_cast<std::size_t>(length));
    path = destination.front() == '/' ? destination : DirectoryOf(path) + "/" + destination;
  }
  return {std::move(path), std::nullopt, ELOOP};
}

// Asked once for a row of files saved into the same folder.
long NameLimitOf(const std::string& folder) {
  thread_local std::string lastFolder;
  thread_local long lastLimit = 0;
  if (folder != lastFolder || lastLimit <= 0) {
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    lastLimit = limit > 0 ? limit : kUsualNameLimit;
    lastFolder = folder;
  }
  return lastLimit;
}

// The start of a name that fits in Budget bytes, not cutting a UTF-8 character in two.
std::string NameWithin(const std::string& name, long budget) {
  if (budget <= 0) return {};
  if (name.size() <= static_cast<std::size_t>(budget)) return name;
  std::size_t cut = static_cast<std::size_t>(budget);
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
    --cut;
  return name.substr(0, cut);
}

std::string Tag(unsigned seed, int attempt) {
  static std::atomic<unsigned> saves{0};
  const unsigned tag =
      (seed + saves.fetch_add(1)) * 2654435761u + static_cast<unsigned>(attempt) * 40503u;
  char digits[kTagDigits + 1];
  std::snprintf(digits, sizeof digits, "%06u", tag % 1000000u);
  return digits;
}

// A folder's entries on the disk, where the file system can do that at all.
int SyncFolder(const std::string& folder) {
  const FileHandle handle(
      SystemCalls().Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!handle.IsOpen()) return errno;
  if (SystemCalls().Sync(handle.Fd()) == 0) return 0;
  return errno == EINVAL ? 0 : errno;
}

// Opened only to be flushed: never waiting on a FIFO, and for writing where reading is refused.
FileHandle OpenToFlush(const std::string& path) {
  constexpr int kFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  FileHandle file(SystemCalls().Open(path.c_str(), O_RDONLY | kFlags, 0));
  if (!file.IsOpen() && errno == EACCES)
    file = FileHandle(SystemCalls().Open(path.c_str(), O_WRONLY | kFlags, 0));
  return file;
}

bool IsRegular(const FileHandle& file) {
  struct stat info {};
  return ::fstat(file.Fd(), &info) == 0 && S_ISREG(info.st_mode);
}

// Starts the writing of all files at once, so the device works on them together before the
// waits for each begin.
void StartWriteBack(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const FileHandle file = OpenToFlush(path);
    if (file.IsOpen() && IsRegular(file)) ::sync_file_range(file.Fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
  }
}

int SyncFile(const std::string& path) {
  const FileHandle file = OpenToFlush(path);
  if (!file.IsOpen()) return errno;
  if (!IsRegular(file)) return 0;
  return SystemCalls().Sync(file.Fd()) == 0 ? 0 : errno;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target, bool sync) : sync_(sync) {
  LinkEnd end = FollowLinks(target);
  target_ = std::move(end.Path);
  struct stat info {};
  if (end.Info) {
    info = *end.Info;
  } else if (end.Error == ENOENT) {
    StartNewFile();
    return;
  } else if (::stat(target_.c_str(), &info) != 0) {
    if (errno == ENOENT) {
      StartNewFile();
    } else {
      error_ = errno;
    }
    return;
  }
  if (S_ISCHR(info.st_mode)) {
    StartInPlace(S_IFCHR);
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    error_ = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFileError;
    return;
  }
  // A file we may not write must stay as it is, as if we had tried to open it for writing.
  if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
    error_ = errno;
    return;
  }
  if (info.st_nlink > 1 || !StartReplacementOf(info)) StartInPlace(S_IFREG);
}

FileReplacement::~FileReplacement() {
  if (!temporary_.empty()) DiscardTemporary();
}

// A target that appears meanwhile is replaced like any existing one.
void FileReplacement::StartNewFile() {
  CreateTemporary(kNewFileMode);
}

// False when only the target itself can be written: the folder takes no new file, or a new
// file could not have the target's owner and group.
bool FileReplacement::StartReplacementOf(const struct stat& target) {
  if (!CreateTemporary(kPrivateMode)) {
    if (error_ != EACCES && error_ != EPERM) return true;
    error_ = 0;
    return false;
  }
  if (const int error = TakeOwnerAndGroupOf(target)) {
    DiscardTemporary();
    if (error == EPERM) return false;
    error_ = error;
    return true;
  }
  // Set when the writing is over: a write by anyone but the superuser clears set-user-ID.
  mode_ = target.st_mode & 07777;
  return true;
}

// 0, or why the temporary file cannot belong to whom the target belongs.
int FileReplacement::TakeOwnerAndGroupOf(const struct stat& target) {
  struct stat mine {};
  if (::fstat(file_.Fd(), &mine) != 0) return errno;
  if (mine.st_uid == target.st_uid && mine.st_gid == target.st_gid) return 0;
  return SystemCalls().ChangeOwner(file_.Fd(), target.st_uid, target.st_gid) == 0 ? 0 : errno;
}

bool FileReplacement::CreateTemporary(mode_t mode) {
  const std::string folder = DirectoryOf(target_);
  const std::string visible =
      NameWithin(BaseNameOf(target_), NameLimitOf(folder) - kTemporaryExtra);
  const std::string stem = folder + "/." + visible + ".";
  static const unsigned seed =
      static_cast<unsigned>(::getpid()) ^ static_cast<unsigned>(std::time(nullptr));
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = stem + Tag(seed, attempt) + kTemporarySuffix;
    // Created and listed for removal on an interruption as one step.
    const InterruptsHeld held;
    const int fd = SystemCalls().Open(candidate.c_str(),
                                      O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) {
      file_ = FileHandle(fd);
      temporary_ = std::move(candidate);
      inFlight_ = TemporaryInFlight(temporary_);
      return true;
    }
    if (errno != EEXIST) break;
  }
  error_ = errno;
  return false;
}

void FileReplacement::DiscardTemporary() {
  const InterruptsHeld held;
  file_.Close();
  SystemCalls().Unlink(temporary_.c_str());
  inFlight_.Forget();
  temporary_.clear();
}

// Not blocking: a name that has meanwhile become a FIFO must not wait for a reader.
void FileReplacement::StartInPlace(mode_t expectedType) {
  FileHandle file(
      SystemCalls().Open(target_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0));
  if (!file.IsOpen()) {
    error_ = errno;
    return;
  }
  struct stat info {};
  if (::fstat(file.Fd(), &info) != 0) {
    error_ = errno;
    return;
  }
  if ((info.st_mode & S_IFMT) != expectedType) {
    error_ = kNotRegularFileError;
    return;
  }
  const int flags = ::fcntl(file.Fd(), F_GETFL);
  if (flags < 0 || ::fcntl(file.Fd(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error_ = errno;
    return;
  }
  file_ = std::move(file);
  inPlace_ = true;
  inPlaceRegular_ = S_ISREG(info.st_mode);
}

// Closing reports writes the system could not complete (a full disk on some file systems).
int FileReplacement::Flush() {
  if (!file_.IsOpen()) return 0;
  const int fd = file_.Fd();
  if (inPlaceRegular_) {
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end < 0 || SystemCalls().Truncate(fd, end) != 0) return errno;
  }
  if (mode_ && SystemCalls().ChangeMode(fd, *mode_) != 0) return errno;
  const bool hasDiskContent = !inPlace_ || inPlaceRegular_;
  if (sync_ && hasDiskContent && SystemCalls().Sync(fd) != 0) return errno;
  return SystemCalls().Close(file_.Release()) == 0 ? 0 : errno;
}

int FileReplacement::Install() {
  if (error_ != 0) return error_;
  if (const int error = Flush()) return error;
  if (temporary_.empty()) return 0;
  {
    // Renamed and taken off the list of files in flight as one step.
    const InterruptsHeld held;
    if (SystemCalls().Rename(temporary_.c_str(), target_.c_str()) != 0) return errno;
    inFlight_.Forget();
    temporary_.clear();
  }
  return sync_ ? SyncFolder(DirectoryOf(target_)) : 0;
}

// Files on a file system in memory have no disk to reach: they are left out, with their folders.
std::optional<SyncFailure> SyncToDisk(const std::vector<std::string>& paths) {
  std::vector<std::pair<std::string, bool>> folders;  // each folder once: is it on a disk?
  std::vector<std::string> onDisk;
  for (const std::string& path : paths) {
    std::string folder = DirectoryOf(FollowLinks(path).Path);
    auto known = std::find_if(folders.begin(), folders.end(),
                              [&](const auto& entry) { return entry.first == folder; });
    if (known == folders.end()) {
      const bool disk = !SystemCalls().KeepsFilesInMemory(folder.c_str());
      known = folders.insert(folders.end(), {std::move(folder), disk});
    }
    if (known->second) onDisk.push_back(path);
  }
  StartWriteBack(onDisk);
  for (const std::string& path : onDisk) {
    if (const int error = SyncFile(path)) return SyncFailure{path, error};
    KeepResponsive();  // the wait for a large batch is long: the windows keep being drawn
  }
  for (const auto& [folder, disk] : folders)
    if (disk)
      if (const int error = SyncFolder(folder)) return SyncFailure{folder, error};
  return std::nullopt;
}

}  // namespace kestrave::platform
