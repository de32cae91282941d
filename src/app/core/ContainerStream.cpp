#include "app/core/ContainerStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/document/FileLoading.h"
#include "platform/FileStream.h"
#include "platform/SystemError.h"

namespace kestrave::app {
ContainerStream::ContainerStream(const std::string& path)
    : path_(path), file_(hex::OpenToLoad(path)) {
  struct stat info {};
  if (fstat(file_.Fd(), &info) != 0) ThrowReadError(errno);
  size_ = info.st_size;
  identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
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

// A piece is large enough that the calls cost nothing beside the copying, small enough to stay
// in the caches on its way to the search.
RecordStarts ContainerStream::FindStarts(const Progress& progress, std::int64_t piece) const {
  const RecordStartSearch search;
  const std::int64_t carry = search.Longest() - 1;
  piece = std::max<std::int64_t>(piece, 1);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(piece, size_) + carry));
  RecordStarts starts;
  // Buffer holds the last Carry bytes of the piece before (Kept of them) and then the new piece.
  std::int64_t kept = 0;
  for (std::int64_t at = 0; at < size_;) {
    const std::int64_t want = std::min(piece, size_ - at);
    if (ReadAt(buffer.data() + kept, want, at) != want) ThrowReadError(0);
    const std::int64_t held = kept + want;
    const bool last = at + want == size_;
    // A start among the last Carry bytes may need the next piece; it is searched with it.
    const std::int64_t limit = last ? held : held - carry;
    search.Search({buffer.data(), static_cast<std::size_t>(held)}, at - kept, limit, starts);
    kept = std::min(held, carry);
    std::memmove(buffer.data(), buffer.data() + held - kept, static_cast<std::size_t>(kept));
    at += want;
    if (progress) progress(at, size_);
  }
  return starts;
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
    if (ReadAt(buffer.data(), want, at) != want) ThrowReadError(0);
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
