#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/FileSystem.h"

namespace kestrave::platform {

// Where a path leads once every link on the way is followed: the folder that holds the file,
// open, so that it stays the folder meant even when it is renamed meanwhile, and the file's name
// in it, which is not a link (or nothing yet: a file to be made).
struct FilePlace {
  FileHandle Folder;  // opened for use as a folder only (O_PATH)
  std::string Name;   // "." when the path names a folder itself
  std::string Path;   // the route taken, without links: for messages and path-taking calls
};

// Follows the links in every part of Path by hand, as the system would, with the rule that Linux
// applies only where fs.protected_symlinks is set: a link in a world-writable sticky folder is
// followed only when it belongs to this user or to the folder's owner. Answers 0, or an error
// number: kSharedFolderLinkError for such a link (Place.Path then names it), ENOENT, ENOTDIR,
// ELOOP, EACCES as the system has them. A missing last name is no error.
int FindPlace(const std::string& path, FilePlace& place);

// Where each of a row of names leads, as FindPlace finds it: a folder named again is followed
// once, and stays the folder first found while the row lasts.
class PlaceFinder {
 public:
  int Find(const std::string& path, FilePlace& place);
  // The same without a look at the last name, for a caller that looks at it anyway and goes
  // back to FindPlace when it is a link: one look per name, not two.
  int FindFolderOf(const std::string& path, FilePlace& place);

 private:
  FilePlace lastFolder_;
};

// A world-writable folder where only owners may remove names (/tmp, /var/tmp, /dev/shm).
bool IsSharedFolder(const struct stat& folder);

// A file in a shared folder that belongs neither to this user nor to the folder's owner: another
// user may have put it there for us to write into, as Linux's fs.protected_regular assumes.
bool IsOtherUsersFileInSharedFolder(const struct stat& folder, const struct stat& file);

}  // namespace kestrave::platform
