#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/core/ContainerPlan.h"
#include "app/core/RecordStarts.h"
#include "platform/FileSystem.h"

namespace kestrave::app {

// A container read from its file a piece at a time, never held whole: the command line's way
// through containers of any size in little memory.
class ContainerStream {
 public:
  // How much of the container has been read, of its size.
  using Progress = std::function<void(std::int64_t done, std::int64_t size)>;

  // Opens the file as the converter's editor opens a container, with the same checks and errors.
  explicit ContainerStream(const std::string& path);

  const std::string& Path() const { return path_; }
  // The size when it was opened: what the editor would have read.
  std::int64_t Size() const { return size_; }
  // The file that was opened, whatever name leads to it now.
  const platform::FileIdentity& Identity() const { return identity_; }

  // What is read at a time.
  static constexpr std::int64_t kPiece = 1 << 20;

  // Where records start and their markers lie, Piece bytes read at a time by each of Threads
  // threads. A file that cannot be read to its size fails as the editor's load does: "Stream
  // read error", the path and cause in the detail. Progress is told on the calling thread.
  RecordStarts FindStarts(const Progress& progress = {}, std::int64_t piece = kPiece,
                          int threads = DefaultThreads()) const;
  // Reads the container a piece at a time on Threads threads, each piece with the Extra bytes
  // after it (fewer at the end), and hands each to Task with its index, where it lies, its length
  // without the extra bytes, and the thread (from 0, the calling one). Errors as FindStarts.
  using PieceTask = std::function<void(std::int64_t index, std::int64_t at, std::int64_t length,
                                       std::span<const std::uint8_t> bytes, int worker)>;
  void ReadPieces(std::int64_t piece, std::int64_t extra, int threads, const Progress& progress,
                  const PieceTask& task) const;
  // As many threads as there are cores, up to four: more only share the memory's speed.
  static int DefaultThreads();
  // Reads Count bytes at At into Buffer; a file that ends before them fails as FindStarts does.
  void Read(std::uint8_t* buffer, std::int64_t count, std::int64_t at) const;
  // Copies the slice's bytes to the open file Out, which starts empty; a failed read as above, a
  // failed write as "Stream write error" naming OutName.
  void CopySlice(const RecordSlice& slice, int out, const std::string& outName) const;

 private:
  // Reads up to Count bytes at At into Buffer, all of them unless the file ends first.
  std::int64_t ReadAt(std::uint8_t* buffer, std::int64_t count, std::int64_t at) const;
  [[noreturn]] void ThrowReadError(int error) const;

  std::string path_;
  platform::FileHandle file_;
  std::int64_t size_ = 0;
  platform::FileIdentity identity_;
};

// The starts found piece by piece, in order, as one list.
RecordStarts JoinStarts(const std::vector<RecordStarts>& found);

}  // namespace kestrave::app
