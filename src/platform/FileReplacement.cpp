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
constexpr int kPlaceAttempts = 4;  // a link at the name, or swapped in after the look, is followed
constexpr long kUsualNameLimit = 255;
constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
constexpr mode_t kPrivateMode = 0600;  // until the file has the target's owner and mode
constexpr std::size_t kCopyPiece = std::size_t{1} << 20;
// Not an error to report: the backup has to be a copy.
constexpr int kBackupNeedsCopy = -1;

// A temporary file is named ".NAME.NNNNNN.saving": hidden, its origin visible, six digits that
// tell it from others.
constexpr char kTemporarySuffix[] = ".saving";
constexpr int kTagDigits = 6;
constexpr long kTemporaryExtra = 2 + kTagDigits + sizeof kTemporarySuffix - 1;

// Asked once for a row of files saved into the same folder.
long NameLimitOf(int folder) {
  thread_local std::pair<dev_t, ino_t> lastFolder{};
  thread_local long lastLimit = 0;
  struct stat info {};
  if (::fstat(folder, &info) != 0) return kUsualNameLimit;
  if (std::pair(info.st_dev, info.st_ino) != lastFolder || lastLimit <= 0) {
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    lastLimit = limit > 0 ? limit : kUsualNameLimit;
    lastFolder = {info.st_dev, info.st_ino};
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

// Names to try for a temporary file beside Name in Folder, one after another.
class TemporaryNames {
 public:
  TemporaryNames(int folder, const std::string& name) {
    stem_.push_back('.');
    stem_.append(NameWithin(name, NameLimitOf(folder) - kTemporaryExtra));
    stem_.push_back('.');
  }
  std::string operator()(int attempt) const {
    static const unsigned seed =
        static_cast<unsigned>(::getpid()) ^ static_cast<unsigned>(std::time(nullptr));
    return stem_ + Tag(seed, attempt) + kTemporarySuffix;
  }

 private:
  std::string stem_;
};

// A folder's entries on the disk, where the file system can do that at all.
int SyncFolder(int folder) {
  const FileHandle handle(SystemCalls().Open(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (!handle.IsOpen()) return errno;
  if (SystemCalls().Sync(handle.Fd()) == 0) return 0;
  return errno == EINVAL ? 0 : errno;
}

// Opened only to be flushed: never waiting on a FIFO, never through a link swapped in, and for
// writing where reading is refused.
FileHandle OpenToFlush(const FilePlace& place) {
  constexpr int kFlags = O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC;
  const int folder = place.Folder.Fd();
  FileHandle file(SystemCalls().Open(folder, place.Name.c_str(), O_RDONLY | kFlags, 0));
  if (!file.IsOpen() && errno == EACCES)
    file = FileHandle(SystemCalls().Open(folder, place.Name.c_str(), O_WRONLY | kFlags, 0));
  return file;
}

bool IsRegular(const FileHandle& file) {
  struct stat info {};
  return ::fstat(file.Fd(), &info) == 0 && S_ISREG(info.st_mode);
}

// Copies everything from one file to another, inside the system where it can.
int CopyAll(int from, int to) {
  bool inSystem = true;
  std::vector<char> piece;
  for (;;) {
    ssize_t copied = -1;
    if (inSystem) {
      copied = SystemCalls().CopyRange(from, to, kCopyPiece);
      if (copied < 0 &&
          (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        inSystem = false;
        continue;
      }
    } else {
      piece.resize(kCopyPiece);
      copied = SystemCalls().Read(from, piece.data(), piece.size());
      for (ssize_t done = 0; copied > 0 && done < copied;) {
        const ssize_t written =
            SystemCalls().Write(to, piece.data() + done, static_cast<std::size_t>(copied - done));
        if (written <= 0) return written < 0 ? errno : ENOSPC;
        done += written;
      }
    }
    if (copied < 0) return errno;
    if (copied == 0) return 0;
    KeepResponsive();
  }
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target, std::int64_t size, bool sync,
                                 PlaceFinder* places)
    : sync_(sync) {
  for (int attempt = 0; attempt < kPlaceAttempts; ++attempt) {
    // A link, at the name from the first or swapped in meanwhile, is followed from the start.
    error_ =
        places && attempt == 0 ? places->FindFolderOf(target, place_) : FindPlace(target, place_);
    if (error_ != 0) return;
    Start(size);
    if (error_ != ELOOP) return;
  }
}

FileReplacement::~FileReplacement() {
  if (!temporary_.empty()) DiscardTemporary();
}

void FileReplacement::Start(std::int64_t size) {
  if (place_.Name == "." || place_.Name == "..") {
    error_ = EISDIR;
    return;
  }
  const int folder = place_.Folder.Fd();
  struct stat info {};
  if (::fstatat(folder, place_.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) {
      StartNewFile();
    } else {
      error_ = errno;
    }
    return;
  }
  struct stat folderInfo {};
  if (S_ISLNK(info.st_mode)) {
    error_ = ELOOP;  // swapped in since the path was followed
  } else if (S_ISDIR(info.st_mode)) {
    error_ = EISDIR;
  } else if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) {
    error_ = kNotRegularFileError;
  } else if (::fstat(folder, &folderInfo) != 0) {
    error_ = errno;
  } else if (IsOtherUsersFileInSharedFolder(folderInfo, info)) {
    error_ = kSharedFolderFileError;
  } else if (S_ISCHR(info.st_mode)) {
    StartInPlace(S_IFCHR, size);
  } else if (::faccessat(folder, place_.Name.c_str(), W_OK, AT_EACCESS) != 0) {
    // A file we may not write must stay as it is, as if we had tried to open it for writing.
    error_ = errno;
  } else {
    target_ = info;
    if (info.st_nlink > 1 || !StartReplacementOf(info)) StartInPlace(S_IFREG, size);
  }
}

// A target that appears meanwhile is replaced like any existing one.
void FileReplacement::StartNewFile() {
  CreateTemporary(kNewFileMode);
}

// False when only the target itself can be written: the folder takes no new file, or a new
// file could not have the target's owner and group.
bool FileReplacement::StartReplacementOf(const struct stat& target) {
  if (!CreateTemporary(kPrivateMode)) {
    if (error_ != EACCES && error_ != EPERM && error_ != EROFS) return true;
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

void FileReplacement::TakeLookOf(const struct stat& original) {
  if (inPlace_ || !file_.IsOpen()) return;
  const bool owned = TakeOwnerAndGroupOf(original) == 0;
  mode_ = owned ? original.st_mode & 07777 : original.st_mode & 0600;
}

bool FileReplacement::CreateTemporary(mode_t mode) {
  const int folder = place_.Folder.Fd();
  const TemporaryNames names(folder, place_.Name);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = names(attempt);
    // Created and listed for removal on an interruption as one step.
    const InterruptsHeld held;
    const int fd = SystemCalls().Open(folder, candidate.c_str(),
                                      O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) {
      file_ = FileHandle(fd);
      temporary_ = std::move(candidate);
      inFlight_ = TemporaryInFlight(folder, temporary_);
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
  SystemCalls().Unlink(place_.Folder.Fd(), temporary_.c_str());
  inFlight_.Forget();
  temporary_.clear();
}

// Not blocking: a name that has meanwhile become a FIFO must not wait for a reader.
void FileReplacement::StartInPlace(mode_t expectedType, std::int64_t size) {
  FileHandle file(SystemCalls().Open(place_.Folder.Fd(), place_.Name.c_str(),
                                     O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0));
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
  // The old content stays whole until there is room for all of the new.
  if (S_ISREG(info.st_mode) && size > 0 && SystemCalls().Reserve(file.Fd(), size) != 0) {
    error_ = errno;
    return;
  }
  file_ = std::move(file);
  inPlace_ = true;
  inPlaceRegular_ = S_ISREG(info.st_mode);
}

int FileReplacement::KeepBackup(const std::string& backup) {
  if (!file_.IsOpen()) return error_ != 0 ? error_ : EBADF;
  if (!target_) return 0;
  if (!inPlace_) {
    const int error = PlaceBackup(backup);
    if (error != kBackupNeedsCopy) return error;
    backup_ = FilePlace();
  }
  return CopyBackup(backup);
}

// The old file itself becomes the backup when the new one takes its name: where that can be.
int FileReplacement::PlaceBackup(const std::string& backup) {
  if (const int error = FindPlace(backup, backup_)) return error;
  if (backup_.Name == "." || backup_.Name == "..") return EISDIR;
  const int folder = backup_.Folder.Fd();
  struct stat folderInfo {};
  if (::fstat(folder, &folderInfo) != 0) return errno;
  // A name moves only within its file system.
  if (folderInfo.st_dev != target_->st_dev) return kBackupNeedsCopy;
  struct stat info {};
  if (::fstatat(folder, backup_.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(info.st_mode)) return EISDIR;
    // Anything else than a plain file there is for the copy to write or refuse.
    if (!S_ISREG(info.st_mode) || info.st_nlink > 1 ||
        IsOtherUsersFileInSharedFolder(folderInfo, info))
      return kBackupNeedsCopy;
  } else if (errno != ENOENT) {
    return errno;
  }
  keepsOldAsBackup_ = true;
  return 0;
}

// The new file takes the target's name and the old one the backup's. Swapped in one step, the
// target's name is never without a whole file; where the file system cannot swap, the old file
// gets its second name first, for as short a time as can be.
int FileReplacement::InstallWithBackup() {
  const int folder = place_.Folder.Fd();
  const int backupFolder = backup_.Folder.Fd();
  const char* name = place_.Name.c_str();
  if (SystemCalls().Exchange(folder, temporary_.c_str(), folder, name) == 0) {
    // The temporary name now holds the old file.
    if (SystemCalls().Rename(folder, temporary_.c_str(), backupFolder, backup_.Name.c_str()) == 0)
      return 0;
    const int error = errno;
    SystemCalls().Exchange(folder, temporary_.c_str(), folder, name);
    backupFailed_ = true;
    return error;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  const TemporaryNames names(backupFolder, backup_.Name);
  std::string link;
  for (int attempt = 0; attempt < kNameAttempts && link.empty(); ++attempt) {
    std::string candidate = names(attempt);
    if (SystemCalls().Link(folder, name, backupFolder, candidate.c_str()) == 0) {
      link = std::move(candidate);
    } else if (errno != EEXIST) {
      break;
    }
  }
  if (link.empty() ||
      SystemCalls().Rename(backupFolder, link.c_str(), backupFolder, backup_.Name.c_str()) != 0) {
    const int error = errno;
    if (!link.empty()) SystemCalls().Unlink(backupFolder, link.c_str());
    backupFailed_ = true;
    return error;
  }
  return SystemCalls().Rename(folder, temporary_.c_str(), folder, name) == 0 ? 0 : errno;
}

// A whole copy, put in place at once: what is written in place next can no longer reach it.
int FileReplacement::CopyBackup(const std::string& backup) {
  const FileHandle source(
      SystemCalls().Open(place_.Folder.Fd(), place_.Name.c_str(),
                         O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0));
  struct stat info {};
  if (!source.IsOpen() || ::fstat(source.Fd(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return kNotRegularFileError;
  FileReplacement copy(backup, info.st_size, sync_);
  if (!copy.IsOpen()) return copy.Error();
  copy.TakeLookOf(info);
  if (const int error = CopyAll(source.Fd(), copy.Fd())) return error;
  return copy.Install();
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
  const int folder = place_.Folder.Fd();
  {
    // Renamed and taken off the list of files in flight as one step.
    const InterruptsHeld held;
    const int error =
        keepsOldAsBackup_
            ? InstallWithBackup()
            : (SystemCalls().Rename(folder, temporary_.c_str(), folder, place_.Name.c_str()) == 0
                   ? 0
                   : errno);
    if (error != 0) return error;
    inFlight_.Forget();
    temporary_.clear();
  }
  if (!sync_) return 0;
  if (const int error = SyncFolder(folder)) return error;
  return keepsOldAsBackup_ ? SyncFolder(backup_.Folder.Fd()) : 0;
}

// Files on a file system in memory have no disk to reach: they are left out, with their folders.
std::optional<SyncFailure> SyncToDisk(const std::vector<std::string>& paths) {
  struct Folder {
    FileHandle Handle;
    std::string Path;
    bool OnDisk = false;
    std::pair<dev_t, ino_t> Id;
  };
  std::vector<Folder> folders;  // each folder once
  std::vector<FilePlace> onDisk;
  PlaceFinder places;
  for (const std::string& path : paths) {
    FilePlace place;
    if (const int error = places.Find(path, place)) return SyncFailure{path, error};
    struct stat info {};
    if (::fstat(place.Folder.Fd(), &info) != 0) return SyncFailure{path, errno};
    const std::pair id(info.st_dev, info.st_ino);
    auto known = std::find_if(folders.begin(), folders.end(),
                              [&](const Folder& folder) { return folder.Id == id; });
    if (known == folders.end()) {
      const bool disk = !SystemCalls().KeepsFilesInMemory(place.Folder.Fd());
      known = folders.insert(folders.end(), Folder{FileHandle(::dup(place.Folder.Fd())),
                                                   DirectoryOf(place.Path), disk, id});
    }
    if (known->OnDisk) onDisk.push_back(std::move(place));
  }
  // Started for all files at once, so the device works on them together before the waits begin.
  for (const FilePlace& place : onDisk) {
    const FileHandle file = OpenToFlush(place);
    if (file.IsOpen() && IsRegular(file)) ::sync_file_range(file.Fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
  }
  for (const FilePlace& place : onDisk) {
    const FileHandle file = OpenToFlush(place);
    if (!file.IsOpen()) return SyncFailure{place.Path, errno};
    if (IsRegular(file) && SystemCalls().Sync(file.Fd()) != 0)
      return SyncFailure{place.Path, errno};
    KeepResponsive();  // the wait for a large batch is long: the windows keep being drawn
  }
  for (const Folder& folder : folders)
    if (folder.OnDisk)
      if (const int error = SyncFolder(folder.Handle.Fd())) return SyncFailure{folder.Path, error};
  return std::nullopt;
}

}  // namespace kestrave::platform
