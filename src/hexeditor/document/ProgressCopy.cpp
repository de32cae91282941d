#include "hexeditor/document/ProgressCopy.h"

#include <algorithm>
#include <array>
#include <memory>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

// Without anyone watching, pieces this large keep the number of system calls low.
constexpr std::int64_t kSilentPiece = std::int64_t{8} << 20;

// Moves one piece; a memory stream on either side is read or written in place.
class PieceMover {
 public:
  PieceMover(platform::TStream& source, platform::TStream& dest)
      : source_(source),
        dest_(dest),
        memorySource_(dynamic_cast<THexMemoryStream*>(&source)),
        memoryDest_(dynamic_cast<THexMemoryStream*>(&dest)) {}

  void Move(std::int64_t piece) {
    if (memoryDest_) {
      IntoMemory(piece);
    } else if (memorySource_) {
      FromMemory(piece);
    } else {
      ThroughBuffer(piece);
    }
  }

 private:
  void IntoMemory(std::int64_t piece) {
    const std::int64_t at = memoryDest_->Position();
    if (at + piece > memoryDest_->DataSize()) memoryDest_->SetSize(at + piece);
    if (source_.Read(memoryDest_->PointerAt(at), piece) != piece)
      throw EHexEditor(msg::kStreamReadError);
    memoryDest_->SetPosition(at + piece);
  }

  void FromMemory(std::int64_t piece) {
    const std::int64_t at = memorySource_->Position();
    if (at + piece > memorySource_->DataSize()) throw EHexEditor(msg::kStreamReadError);
    if (dest_.Write(memorySource_->PointerAt(at), piece) != piece)
      throw EHexEditor(msg::kStreamWriteError);
    memorySource_->SetPosition(at + piece);
  }

  void ThroughBuffer(std::int64_t piece) {
    if (!buffer_) buffer_ = std::make_unique<std::array<std::byte, kSilentPiece>>();
    for (std::int64_t done = 0; done < piece;) {
      const std::int64_t part = std::min<std::int64_t>(piece - done, kSilentPiece);
      if (source_.Read(buffer_->data(), part) != part) throw EHexEditor(msg::kStreamReadError);
      if (dest_.Write(buffer_->data(), part) != part) throw EHexEditor(msg::kStreamWriteError);
      done += part;
    }
  }

  platform::TStream& source_;
  platform::TStream& dest_;
  THexMemoryStream* memorySource_;
  THexMemoryStream* memoryDest_;
  std::unique_ptr<std::array<std::byte, kSilentPiece>> buffer_;
};

}  // namespace

std::uint8_t ProgressPercent(std::int64_t done, std::int64_t count) {
  const std::int64_t scaled = done * 100;
  std::int64_t whole = scaled / count;
  const std::int64_t twiceRest = (scaled % count) * 2;
  if (twiceRest > count || (twiceRest == count && whole % 2 == 1)) ++whole;
  return static_cast<std::uint8_t>(whole);
}

void CopyWithProgress(platform::TStream& source, platform::TStream& dest, std::int64_t count,
                      const ProgressReport& report) {
  if (count == -1) count = source.Size() - source.Position();
  PieceMover mover(source, dest);
  if (!report) {
    for (std::int64_t remaining = count; remaining > 0;) {
      const std::int64_t piece = std::min(remaining, kSilentPiece);
      mover.Move(piece);
      remaining -= piece;
      platform::KeepResponsive();
    }
    return;
  }
  int lastReported = 255;
  for (std::int64_t remaining = count; remaining > 0;) {
    const int percent = ProgressPercent(count - remaining, count);
    if (percent != lastReported || remaining <= kProgressChunk) {
      lastReported = remaining > kProgressChunk ? percent : 100;
      if (report(static_cast<std::uint8_t>(lastReported)))
        throw EHexEditor(msg::kOperationCancelled);
    }
    const std::int64_t piece = std::min(remaining, kProgressChunk);
    mover.Move(piece);
    remaining -= piece;
    platform::KeepResponsive();
  }
}

}  // namespace kestrave::hex
