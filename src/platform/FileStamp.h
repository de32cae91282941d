#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrave::platform {

// What tells whether the file under a name is still the one a program read or wrote: another
// file renamed over it has another inode, a rewrite another size or modification time.
struct FileStamp {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Size = 0;
  std::int64_t ModifiedSeconds = 0;
  std::int64_t ModifiedNanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of what the path leads to (links followed), or nothing when it cannot be examined,
// errno saying why (ENOENT or ENOTDIR: nothing is there).
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace kestrave::platform
