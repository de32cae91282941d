#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrave::test {

// A plain walk over an AMR file's frames, written from the codecs' bit counts per frame type
// rather than from a table of byte sizes, to check the reader against.
struct ReferenceWalk {
  int Codec = 0;  // 0 none, 1 narrowband, 2 wideband
  std::int64_t Frames = 0;
  std::int64_t ValidBytes = 0;
};

inline ReferenceWalk WalkAmrFrames(const std::vector<std::uint8_t>& bytes) {
  // Speech bits per frame type, then the SID frame; -1 for a frame without speech bits.
  static const std::vector<int> kNarrowBits = {95, 103, 118, 134, 148, 159, 204, 244, 39};
  static const std::vector<int> kWideBits = {132, 177, 253, 285, 317, 365, 397, 461, 477, 40};
  const std::string text(bytes.begin(), bytes.end());
  ReferenceWalk walk;
  std::size_t at = 0;
  if (text.rfind("#!AMR-WB\n", 0) == 0) {
    walk.Codec = 2;
    at = 9;
  } else if (text.rfind("#!AMR\n", 0) == 0) {
    walk.Codec = 1;
    at = 6;
  } else {
    return walk;
  }
  const std::vector<int>& bits = walk.Codec == 2 ? kWideBits : kNarrowBits;
  for (;;) {
    walk.ValidBytes = static_cast<std::int64_t>(at);
    if (at >= bytes.size()) break;
    const int header = bytes[at];
    if (header & 0x80 || header & 0x03) break;
    const int type = header >> 3;
    std::size_t size = 0;
    if (type < static_cast<int>(bits.size())) {
      size = 1 + static_cast<std::size_t>((bits[static_cast<std::size_t>(type)] + 7) / 8);
    } else if (type == 15 || (walk.Codec == 2 && type == 14)) {
      size = 1;  // no data; speech lost
    } else {
      break;
    }
    if (bytes.size() - at < size) break;
    at += size;
    ++walk.Frames;
  }
  return walk;
}

}  // namespace kestrave::test
