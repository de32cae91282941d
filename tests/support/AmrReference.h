#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrave::test {

// A plain walk over an AMR file's frames, written from the codecs' bit counts per frame type
// rather than from a table of byte sizes, to check the reader against. With Resynchronise it
// goes on after damage where eight frames in a row carry speech or a SID, quality bit set,
// none of them one byte repeated and the first not beginning with a byte twice, trying every
// position in turn.
struct ReferenceWalk {
  int Codec = 0;  // 0 none, 1 narrowband, 2 wideband
  bool Repaired = false;
  std::int64_t Frames = 0;
  std::int64_t ValidBytes = 0;  // the header and the frames
  std::int64_t Gaps = 0;
  std::int64_t GapBytes = 0;
  std::int64_t RecoveredFrames = 0;
};

inline ReferenceWalk WalkAmrFrames(const std::vector<std::uint8_t>& bytes,
                                   bool resynchronise = false) {
  // Speech bits per frame type, then the SID frame; -1 for a frame without speech bits.
  static const std::vector<int> kNarrowBits = {95, 103, 118, 134, 148, 159, 204, 244, 39};
  static const std::vector<int> kWideBits = {132, 177, 253, 285, 317, 365, 397, 461, 477, 40};
  std::string text(bytes.begin(), bytes.end());
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  ReferenceWalk walk;
  std::size_t at = 0;
  if (text.rfind("#!amr-wb\n", 0) == 0) {
    walk.Codec = 2;
    at = 9;
  } else if (text.rfind("#!amr\n", 0) == 0) {
    walk.Codec = 1;
    at = 6;
  } else {
    return walk;
  }
  walk.Repaired = std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at)) !=
                  (walk.Codec == 2 ? "#!AMR-WB\n" : "#!AMR\n");
  const std::vector<int>& bits = walk.Codec == 2 ? kWideBits : kNarrowBits;
  // The whole frame at a position, or 0 when none is there.
  const auto frameAt = [&](std::size_t from) -> std::size_t {
    const int header = bytes[from];
    if (header & 0x80 || header & 0x03) return 0;
    const int type = header >> 3;
    std::size_t size = 0;
    if (type < static_cast<int>(bits.size())) {
      size = 1 + static_cast<std::size_t>((bits[static_cast<std::size_t>(type)] + 7) / 8);
    } else if (type == 15 || (walk.Codec == 2 && type == 14)) {
      size = 1;  // no data; speech lost
    } else {
      return 0;
    }
    if (bytes.size() - from < size) return 0;
    bool filler = size > 1;
    for (std::size_t i = 1; i < size && filler; ++i)
      filler = bytes[from + i] == bytes[from];
    return filler ? 0 : size;
  };
  const auto runAt = [&](std::size_t from) {
    if (from + 1 < bytes.size() && bytes[from + 1] == bytes[from]) return false;
    for (int frame = 0; frame < 8; ++frame) {
      if (from >= bytes.size() || !(bytes[from] & 0x04)) return false;
      const std::size_t size = frameAt(from);
      if (size < 2) return false;
      from += size;
    }
    return true;
  };
  std::size_t end = at;
  for (;;) {
    while (at < bytes.size() && frameAt(at) > 0) {
      at += frameAt(at);
      ++walk.Frames;
      if (walk.Gaps > 0) ++walk.RecoveredFrames;
    }
    end = at;
    if (at >= bytes.size() || !resynchronise) break;
    std::size_t resumed = at + 1;
    while (resumed < bytes.size() && !runAt(resumed))
      ++resumed;
    if (resumed >= bytes.size()) break;
    ++walk.Gaps;
    walk.GapBytes += static_cast<std::int64_t>(resumed - at);
    at = resumed;
  }
  walk.ValidBytes = static_cast<std::int64_t>(end) - walk.GapBytes;
  return walk;
}

}  // namespace kestrave::test
