#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrave::app {

// The files kestrave-hex opened or saved last, most recent first, each with where the caret was
// left in it. Names are the bytes the system knows the files by, whatever their encoding.
struct RecentFile {
  std::string Path;
  std::int64_t Position = 0;
  bool operator==(const RecentFile&) const = default;
};
using RecentFileList = std::vector<RecentFile>;

inline constexpr std::size_t kMaxRecentFiles = 10;

// $XDG_CONFIG_HOME/kestrave/kestrave-hex.recent, beside the view settings.
std::string RecentFilesPath();

// The list as the file holds it: a line "position<TAB>path" a file, after a comment saying so.
// Bytes that are no UTF-8 text, control characters and '%' are written as %XX, so any name
// survives and the file stays text that can be read and edited.
std::string RecentFilesText(const RecentFileList& files);
// The entries of such a text; lines that are not one (edited by hand, cut short) are left out,
// and so are names that are not absolute or name a file twice. At most kMaxRecentFiles.
RecentFileList ParseRecentFiles(std::string_view text);

// The absolute form of a path, "." and ".." and doubled slashes taken out, so a file is listed
// once whatever spelling opened it.
std::string NormalPath(const std::string& path);
// Puts the file first, once, keeping the place known for it; the list keeps kMaxRecentFiles.
void PutFirst(RecentFileList& files, const std::string& path);
// Notes the caret's place for a file of the list; other files are not noted.
void SetPosition(RecentFileList& files, const std::string& path, std::int64_t position);
// Takes the file out of the list (Open Recent's entry of a file that is gone).
void Remove(RecentFileList& files, const std::string& path);
// Where the caret was left in the file; 0 when that is not known.
std::int64_t PositionOf(const RecentFileList& files, const std::string& path);

struct RecentFilesRead {
  RecentFileList Files;
  bool Missing = false;      // there is no such file (yet)
  std::optional<int> Error;  // it cannot be read: not a regular file, too large...
};
// Only a regular file is read: a FIFO, folder or socket is an error, a character device
// (/dev/null, which keeps the list from being kept) an empty list.
RecentFilesRead ReadRecentFiles(const std::string& path = RecentFilesPath());
// Replaces the file only once the new one is complete; false when that failed.
bool WriteRecentFiles(const RecentFileList& files, const std::string& path = RecentFilesPath());

}  // namespace kestrave::app
