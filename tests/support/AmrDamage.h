#pragma once

// Real AMR streams damaged the ways records are found damaged, each with what a reader should
// make of it: the frames kept, those recovered past damage, the gaps, and the trimmed stream.
// Header only.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "audio/AmrStream.h"

namespace kestrave::test {

// A damaged copy of a stream whose frames all have one size (as the encoders write them in one
// mode), built piece by piece, with the trimmed stream it must give: the standard header, the
// frames kept, and in place of each gap no-data frames for its bytes at the frame size,
// rounded over all gaps so far.
class DamagedStream {
 public:
  DamagedStream(std::string what, const std::vector<std::uint8_t>& clean,
                std::string_view header = {})
      : what_(std::move(what)), clean_(clean) {
    const std::string_view text(reinterpret_cast<const char*>(clean.data()), clean.size());
    wideband_ = text.starts_with(audio::kWidebandHeader);
    header_ = audio::StorageHeader(Codec()).size();
    frameBytes_ = audio::FrameBytes(Codec(), (clean[header_] >> 3) & 15);
    frameCount_ =
        static_cast<int>((clean.size() - header_) / static_cast<std::size_t>(frameBytes_));
    const std::string_view own = header.empty() ? text.substr(0, header_) : header;
    bytes_.assign(own.begin(), own.end());
    trimmed_.assign(clean.begin(), clean.begin() + static_cast<std::ptrdiff_t>(header_));
    repaired_ = own != text.substr(0, header_);
  }

  // Frames First to Last - 1 of the clean stream, as they are.
  DamagedStream& Keep(int first, int last) {
    for (int i = first; i < last; ++i) {
      const auto frame = Frame(i);
      bytes_.insert(bytes_.end(), frame.begin(), frame.end());
      trimmed_.insert(trimmed_.end(), frame.begin(), frame.end());
      ++frames_;
      if (gaps_ > 0) ++recovered_;
    }
    return *this;
  }
  // Frames lost, Bytes in their place.
  DamagedStream& Lose(const std::vector<std::uint8_t>& bytes) { return Gap(bytes); }
  // Bytes that were never frames, between two frames.
  DamagedStream& Insert(const std::vector<std::uint8_t>& bytes) { return Gap(bytes); }
  // Bytes after the last frame, which end the stream for the reason given.
  DamagedStream& Trail(const std::vector<std::uint8_t>& bytes, audio::StreamEnd end) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    end_ = end;
    return *this;
  }
  // The record ends Count bytes into frame Index.
  DamagedStream& Cut(int index, std::size_t count) {
    const auto frame = Frame(index);
    bytes_.insert(bytes_.end(), frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(count));
    end_ = audio::StreamEnd::TruncatedFrame;
    return *this;
  }

  const std::string& What() const { return what_; }
  audio::AmrCodec Codec() const {
    return wideband_ ? audio::AmrCodec::Wideband : audio::AmrCodec::Narrowband;
  }
  int FrameCount() const { return frameCount_; }
  int FrameBytes() const { return frameBytes_; }
  std::vector<std::uint8_t> Frame(int index) const {
    const auto at = clean_.begin() + static_cast<std::ptrdiff_t>(header_) +
                    static_cast<std::ptrdiff_t>(index) * frameBytes_;
    return {at, at + frameBytes_};
  }
  // The damaged record, and what a trimmed file of it holds.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  const std::vector<std::uint8_t>& Trimmed() const { return trimmed_; }
  // The trimmed file up to its first no-data frame: what a walk that stops at damage keeps.
  std::vector<std::uint8_t> UndamagedPrefix() const {
    std::size_t end = header_;
    while (end < trimmed_.size() && trimmed_[end] != audio::kNoDataFrame)
      end += static_cast<std::size_t>(frameBytes_);
    return {trimmed_.begin(), trimmed_.begin() + static_cast<std::ptrdiff_t>(end)};
  }
  std::int64_t Frames() const { return frames_; }
  std::int64_t Recovered() const { return recovered_; }
  std::int64_t Gaps() const { return gaps_; }
  std::int64_t GapBytes() const { return gapBytes_; }
  std::int64_t GapFrames() const { return gapFrames_; }
  bool Repaired() const { return repaired_; }
  audio::StreamEnd End() const { return end_; }

 private:
  DamagedStream& Gap(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    const auto rounded = [&](std::int64_t gapBytes) {
      return (2 * gapBytes + frameBytes_) / (2 * frameBytes_);
    };
    const std::int64_t before = rounded(gapBytes_);
    gapBytes_ += static_cast<std::int64_t>(bytes.size());
    const std::int64_t fill = rounded(gapBytes_) - before;
    trimmed_.insert(trimmed_.end(), static_cast<std::size_t>(fill), audio::kNoDataFrame);
    gapFrames_ += fill;
    ++gaps_;
    return *this;
  }

  std::string what_;
  std::vector<std::uint8_t> clean_;
  bool wideband_ = false;
  std::size_t header_ = 0;
  int frameBytes_ = 0;
  int frameCount_ = 0;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> trimmed_;
  bool repaired_ = false;
  std::int64_t frames_ = 0;
  std::int64_t recovered_ = 0;
  std::int64_t gaps_ = 0;
  std::int64_t gapBytes_ = 0;
  std::int64_t gapFrames_ = 0;
  audio::StreamEnd end_ = audio::StreamEnd::EndOfRecord;
};

// Random bytes in which no byte could begin a frame that a stream is taken up again with (each
// is given its first bit), the first one a bad frame header: what the reader must make of
// them is then known exactly.
inline std::vector<std::uint8_t> RandomDamage(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(count);
  for (auto& byte : bytes) {
    byte = static_cast<std::uint8_t>(random());
    if ((byte & 0x83) == 0 && (byte & 0x04) != 0) byte |= 0x80;
  }
  bytes[0] |= 0x80;
  return bytes;
}

// Every kind of damage the reader goes on past, on a clean stream of 300 frames or more.
inline std::vector<DamagedStream> EveryKindOfDamage(const std::vector<std::uint8_t>& clean) {
  DamagedStream probe("", clean);
  const int n = probe.FrameCount();
  const bool wide = probe.Codec() == audio::AmrCodec::Wideband;
  const std::uint8_t reserved = wide ? 0x54 : 0x4C;  // type 10, type 9: quality bit set
  auto reservedFrame = probe.Frame(150);
  reservedFrame[0] = reserved;
  auto badHeader = probe.Frame(100);
  badHeader[0] |= 0x81;
  const std::vector<std::uint8_t> zeros(200, 0x00);
  const std::vector<std::uint8_t> frameLike(320, 0x3C);  // a 12.2 kbit/s header and its size
  std::vector<DamagedStream> cases;
  cases.push_back(DamagedStream("a frame of a reserved type", clean)
                      .Keep(0, 150)
                      .Lose(reservedFrame)
                      .Keep(151, n));
  cases.push_back(DamagedStream("a frame header with bad bits", clean)
                      .Keep(0, 100)
                      .Lose(badHeader)
                      .Keep(101, n));
  cases.push_back(
      DamagedStream("a run of zero bytes", clean).Keep(0, 200).Insert(zeros).Keep(200, n));
  cases.push_back(DamagedStream("random bytes over ten frames", clean)
                      .Keep(0, 120)
                      .Lose(RandomDamage(10 * static_cast<std::size_t>(probe.FrameBytes()), 27))
                      .Keep(130, n));
  cases.push_back(DamagedStream("0x3C filler that looks like frames", clean)
                      .Keep(0, 50)
                      .Insert(frameLike)
                      .Keep(50, n));
  cases.push_back(DamagedStream("0x3C padding after the last frame", clean)
                      .Keep(0, n)
                      .Trail(std::vector<std::uint8_t>(64, 0x3C), audio::StreamEnd::FillerFrame));
  cases.push_back(
      DamagedStream("a lower-case header", clean, wide ? "#!amr-wb\n" : "#!amr\n").Keep(0, n));
  cases.push_back(DamagedStream("a header in mixed case, a reserved type and zero bytes", clean,
                                wide ? "#!Amr-Wb\n" : "#!aMr\n")
                      .Keep(0, 100)
                      .Lose(reservedFrame)
                      .Keep(101, 250)
                      .Insert(std::vector<std::uint8_t>(130, 0x00))
                      .Keep(250, n));
  cases.push_back(DamagedStream("a last frame cut short", clean).Keep(0, n - 1).Cut(n - 1, 15));
  return cases;
}

}  // namespace kestrave::test
