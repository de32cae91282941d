#include "app/core/ContainerStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/document/FileLoading.h"
#include "platform/FileStream.h"
#include "platform/ParallelTasks.h"
#include "platform/SystemError.h"

namespace kestrave::app {
ContainerStream::ContainerStream(const std::string& path)
    : path_(path), file_(hex::OpenToLoad(path)) {
  struct stat info {};
  if (fstat(file_.Fd(), &info) != 0) ThrowReadError(errno);
  size_ = info.st_size;
  identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int ContainerStream::DefaultThreads() {
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

void ContainerStream::ThrowReadError(int error) const {
  throw hex::EHexEditor(
      hex::msg::kStreamReadError,
      path_ + ": " +
          (error != 0 ? platform::SystemErrorText(error) : std::string("Unexpected end of file")));
}

std::int64_t ContainerStream::ReadAt(std::uint8_t* buffer, std::int64_t count,
                                     std::int64_t at) const {
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t got = pread(file_.Fd(), buffer + done, static_cast<std::size_t>(count - done),
                              static_cast<off_t>(at + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowReadError(errno);
    if (got == 0) break;
    done += got;
  }
  return done;
}

void ContainerStream::Read(std::uint8_t* buffer, std::int64_t count, std::int64_t at) const {
  if (ReadAt(buffer, count, at) != count) ThrowReadError(0);
}

// A piece is large enough that the calls cost nothing beside the copying, small enough to stay
// in the caches on its way to the work. Each thread reads and works on whole pieces, taking the
// next one not yet taken, so the copying and the work of one piece overlap those of others.
void ContainerStream::ReadPieces(std::int64_t piece, std::int64_t extra, int threads,
                                 const Progress& progress, const PieceTask& task) const {
  piece = std::max<std::int64_t>(piece, 1);
  const std::int64_t pieces = (size_ + piece - 1) / piece;
  std::atomic<std::int64_t> done{0};
  std::vector<std::vector<std::uint8_t>> buffers(static_cast<std::size_t>(std::max(threads, 1)));
  platform::RunTasks(pieces, threads, [&](std::int64_t index, int worker) {
    std::vector<std::uint8_t>& buffer = buffers[static_cast<std::size_t>(worker)];
    buffer.resize(static_cast<std::size_t>(std::min(piece, size_) + extra));
    const std::int64_t at = index * piece;
    const std::int64_t length = std::min(piece, size_ - at);
    const std::int64_t reach = std::min(length + extra, size_ - at);
    Read(buffer.data(), reach, at);
    task(index, at, length, {buffer.data(), static_cast<std::size_t>(reach)}, worker);
    done += length;
    if (worker == 0 && progress) progress(done, size_);
  });
}

RecordStarts ContainerStream::FindStarts(const Progress& progress, std::int64_t piece,
                                         int threads) const {
  const RecordStartSearch search;
  piece = std::max<std::int64_t>(piece, 1);
  // The starts found in each piece, merged in order at the end.
  std::vector<RecordStarts> found(static_cast<std::size_t>((size_ + piece - 1) / piece));
  // A text that begins in a piece is read whole with the next piece's first bytes.
  ReadPieces(piece, search.Longest() - 1, threads, progress,
             [&](std::int64_t index, std::int64_t at, std::int64_t length,
                 std::span<const std::uint8_t> bytes, int) {
               search.Search(bytes, at, length, found[static_cast<std::size_t>(index)]);
             });
  return JoinStarts(found);
}

RecordStarts JoinStarts(const std::vector<RecordStarts>& found) {
  RecordStarts all;
  for (const RecordStarts& starts : found) {
    all.Magics.insert(all.Magics.end(), starts.Magics.begin(), starts.Magics.end());
    all.Markers.insert(all.Markers.end(), starts.Markers.begin(), starts.Markers.end());
  }
  return all;
}

void ContainerStream::CopySlice(const RecordSlice& slice, int out,
                                const std::string& outName) const {
  std::int64_t at = slice.Start;
  const std::int64_t end = slice.Last + 1;
  // The kernel copies between the files without the bytes passing through here, where it can.
  while (at < end) {
    loff_t from = at;
    const ssize_t copied =
        copy_file_range(file_.Fd(), &from, out, nullptr, static_cast<std::size_t>(end - at), 0);
    if (copied > 0) {
      at += copied;
      continue;
    }
    if (copied == 0) ThrowReadError(0);
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
        errno == EBADF)
      break;
    if (errno == ENOSPC || errno == EFBIG || errno == EDQUOT || errno == EIO)
      throw hex::EHexEditor(hex::msg::kStreamWriteError,
                            platform::WriteFailureDetail(outName, errno));
    ThrowReadError(errno);
  }
  std::vector<std::uint8_t> buffer;
  while (at < end) {
    if (buffer.empty()) buffer.resize(static_cast<std::size_t>(std::min(kPiece, end - at)));
    const std::int64_t want =
        std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), end - at);
    Read(buffer.data(), want, at);
    for (std::int64_t done = 0; done < want;) {
      const ssize_t wrote = write(out, buffer.data() + done, static_cast<std::size_t>(want - done));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0)
        throw hex::EHexEditor(hex::msg::kStreamWriteError,
                              platform::WriteFailureDetail(outName, wrote < 0 ? errno : 0));
      done += wrote;
    }
    at += want;
  }
}

}  // namespace kestrave::app
