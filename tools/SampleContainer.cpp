#include "SampleContainer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace kestrave::tools {
namespace {

constexpr std::array<int, 8> kFrameSize = {13, 14, 16, 18, 20, 21, 27, 32};
constexpr std::string_view kMarker =
    "\x06\x1F\x22"
    "audio/amr";
constexpr std::string_view kMagic = "#!AMR\n";
constexpr int kHeaderSize = 32;
constexpr int kRecordHeaderSize = 6;

class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  std::uint32_t state_;
};

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
  for (const char c : text)
    out.push_back(static_cast<std::uint8_t>(c));
}

// The mode of frame f of record r: each record favours one mode, with some variety.
int ModeOf(int record, int frame, Random& random) {
  if (frame % 7 == 3) return static_cast<int>(random.Next() % 8);
  return (record * 3 + 7) % 8;
}

int StreamLength(const SampleShape& shape, int record) {
  Random random(shape.Seed + static_cast<std::uint32_t>(record));
  int length = static_cast<int>(kMagic.size());
  for (int f = 0; f < shape.FramesPerRecord; ++f)
    length += kFrameSize[ModeOf(record, f, random)];
  return length;
}

// '#' (start of the magic) and 0x06 (start of the marker) never occur in payloads, so neither
// pattern can appear by accident, in any letter case.
std::uint8_t PayloadByte(Random& random) {
  for (;;) {
    const auto b = static_cast<std::uint8_t>(random.Next() >> 24);
    if (b != '#' && b != 0x06) return b;
  }
}

void PutStream(std::vector<std::uint8_t>& out, const SampleShape& shape, int record) {
  Random modes(shape.Seed + static_cast<std::uint32_t>(record));
  Random payload(shape.Seed * 31u + static_cast<std::uint32_t>(record));
  PutText(out, kMagic);
  for (int f = 0; f < shape.FramesPerRecord; ++f) {
    const int mode = ModeOf(record, f, modes);
    out.push_back(static_cast<std::uint8_t>((mode << 3) | 0x04));
    for (int i = 1; i < kFrameSize[mode]; ++i)
      out.push_back(PayloadByte(payload));
  }
}

void PutFiller(std::vector<std::uint8_t>& out, int count, int record) {
  for (int i = 0; i < count; ++i)
    out.push_back(static_cast<std::uint8_t>(0xA0 + (i + record) % 16));
}

}  // namespace

std::vector<std::uint8_t> BuildSampleContainer(const SampleShape& shape) {
  std::vector<std::uint8_t> out;
  PutText(out, "KDRF");
  PutLe(out, 1, 2);
  PutLe(out, static_cast<std::uint32_t>(shape.Records), 2);
  out.resize(kHeaderSize, 0);
  for (int r = 0; r < shape.Records; ++r) {
    PutText(out, kMarker);
    PutLe(out, static_cast<std::uint32_t>(r + 1), 2);
    PutLe(out, static_cast<std::uint32_t>(StreamLength(shape, r)), 4);
    PutStream(out, shape, r);
    PutFiller(out, shape.GapBytes, r);
  }
  return out;
}

SampleLayout LayoutOfSample(const SampleShape& shape) {
  SampleLayout layout;
  std::int64_t at = kHeaderSize;
  for (int r = 0; r < shape.Records; ++r) {
    layout.MarkerPositions.push_back(at);
    at += static_cast<std::int64_t>(kMarker.size()) + kRecordHeaderSize;
    layout.MagicPositions.push_back(at);
    layout.StreamLengths.push_back(StreamLength(shape, r));
    at += StreamLength(shape, r) + shape.GapBytes;
  }
  return layout;
}

}  // namespace kestrave::tools
