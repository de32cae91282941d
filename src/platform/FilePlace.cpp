#include "platform/FilePlace.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "platform/SystemCalls.h"
#include "platform/SystemError.h"

namespace kestrave::platform {
namespace {

constexpr int kMaxLinkHops = 40;  // as many as the system follows before it answers ELOOP
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The parts of a path between slashes; a path that ends with a slash names a folder, whose
// last part is then ".".
std::deque<std::string> PartsOf(const std::string& path) {
  std::deque<std::string> parts;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  if (!path.empty() && path.back() == '/') parts.push_back(".");
  return parts;
}

std::string Joined(const std::string& route, const std::string& name) {
  if (route.empty()) return name;
  return route.back() == '/' ? route + name : route + '/' + name;
}

std::string ParentOf(const std::string& route) {
  if (route.empty()) return "..";
  if (route == "/") return route;
  const std::size_t slash = route.rfind('/');
  const std::string last = slash == std::string::npos ? route : route.substr(slash + 1);
  if (last == "..") return route + "/..";
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : route.substr(0, slash);
}

bool MayFollow(const struct stat& folder, const struct stat& link) {
  return !IsSharedFolder(folder) || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// The folder the walk starts from.
int OpenStart(bool absolute, FileHandle& folder) {
  folder = FileHandle(SystemCalls().Open(AT_FDCWD, absolute ? "/" : ".", kFolderFlags, 0));
  return folder.IsOpen() ? 0 : errno;
}

int ReadLink(int folder, const std::string& name, std::string& destination) {
  destination.assign(PATH_MAX, '\0');
  const ssize_t length = ::readlinkat(folder, name.c_str(), destination.data(), PATH_MAX);
  if (length < 0) return errno;
  if (length == 0 || length >= PATH_MAX) return ENOENT;
  destination.resize(static_cast<std::size_t>(length));
  return 0;
}

}  // namespace

bool IsSharedFolder(const struct stat& folder) {
  return (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
}

bool IsOtherUsersFileInSharedFolder(const struct stat& folder, const struct stat& file) {
  return IsSharedFolder(folder) && file.st_uid != ::geteuid() && file.st_uid != folder.st_uid;
}

int FindPlace(const std::string& path, FilePlace& place) {
  if (path.empty()) return ENOENT;
  std::deque<std::string> pending = PartsOf(path);
  std::string route = path.front() == '/' ? "/" : "";
  FileHandle folder;
  if (const int error = OpenStart(path.front() == '/', folder)) return error;
  int hops = 0;
  while (!pending.empty()) {
    std::string name = std::move(pending.front());
    pending.pop_front();
    const bool last = pending.empty();
    if (name == "." && !last) continue;
    const bool dots = name == "." || name == "..";
    if (!last || dots) {
      // Most parts are plain folders: one call opens them, refusing to follow a link.
      FileHandle next(SystemCalls().Open(folder.Fd(), name.c_str(), kFolderFlags, 0));
      if (next.IsOpen()) {
        if (last) {
          place = {std::move(folder), name,
                   name == "." ? (route.empty() ? "." : route) : Joined(route, name)};
          return 0;
        }
        folder = std::move(next);
        route = name == ".." ? ParentOf(route) : Joined(route, name);
        continue;
      }
      if (dots || (errno != ENOTDIR && errno != ELOOP)) return errno;
    }
    struct stat info {};
    if (::fstatat(folder.Fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT || !last) return errno;
    } else if (S_ISLNK(info.st_mode)) {
      if (++hops > kMaxLinkHops) return ELOOP;
      struct stat folderInfo {};
      if (::fstat(folder.Fd(), &folderInfo) != 0) return errno;
      if (!MayFollow(folderInfo, info)) {
        place.Path = Joined(route, name);
        return kSharedFolderLinkError;
      }
      std::string destination;
      if (const int error = ReadLink(folder.Fd(), name, destination)) return error;
      const std::deque<std::string> parts = PartsOf(destination);
      pending.insert(pending.begin(), parts.begin(), parts.end());
      if (destination.front() == '/') {
        route.assign(1, '/');
        if (const int error = OpenStart(true, folder)) return error;
      }
      continue;
    } else if (!last) {
      return ENOTDIR;
    }
    place = {std::move(folder), name, Joined(route, name)};
    return 0;
  }
  // Nothing was left to name: the path, or the last link, led to a folder ("/").
  place = {std::move(folder), ".", route.empty() ? "." : route};
  return 0;
}

int PlaceFinder::FindFolderOf(const std::string& path, FilePlace& place) {
  const std::string folder = DirectoryOf(path);
  if (folder != lastFolder_.Path || !lastFolder_.Folder.IsOpen()) {
    lastFolder_ = FilePlace();
    if (const int error = FindPlace(folder + "/", lastFolder_)) return error;
    lastFolder_.Path = folder;
  }
  place = {FileHandle(::dup(lastFolder_.Folder.Fd())), BaseNameOf(path), path};
  return place.Folder.IsOpen() ? 0 : errno;
}

int PlaceFinder::Find(const std::string& path, FilePlace& place) {
  if (const int error = FindFolderOf(path, place)) return error;
  struct stat info {};
  // A link of the user's own leads elsewhere: followed from the start.
  if (::fstatat(place.Folder.Fd(), place.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(info.st_mode))
    return FindPlace(path, place);
  return 0;
}

}  // namespace kestrave::platform
