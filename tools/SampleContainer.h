#pragma once

#include <cstdint>
#include <vector>

namespace kestrave::tools {

// How a generated container looks. Everything follows from these numbers, so the same numbers
// always give the same bytes.
struct SampleShape {
  int Records = 3;
  int FramesPerRecord = 50;
  std::uint32_t Seed = 1;
  // Filler bytes between the records, as a real container has metadata there.
  int GapBytes = 24;
};

// A ".drf" container of our own design, for demonstrations and tests:
//
//   container header   "KDRF" | version (u16 LE, 1) | record count (u16 LE) | 24 zero bytes
//   per record:
//     marker           06 1F 22 "audio/amr"   (the content-type marker the scan looks for)
//     record header    record number (u16 LE) | stream length in bytes (u32 LE)
//     AMR-NB stream    "#!AMR\n", then frames: a mode byte 0FFFF100 (F = 0, FT = mode,
//                      Q = 1) followed by the payload size of that mode
//     filler           GapBytes bytes of metadata-like filler
//
// Frame sizes (mode byte included) by mode 0..7: 13, 14, 16, 18, 20, 21, 27, 32. Payload bytes
// are pseudo-random, chosen so that neither the magic nor the marker occurs by accident.
std::vector<std::uint8_t> BuildSampleContainer(const SampleShape& shape);

// Where each record's magic and marker lie in a container built from the shape.
struct SampleLayout {
  std::vector<std::int64_t> MagicPositions;
  std::vector<std::int64_t> MarkerPositions;
  // Length of each AMR stream, from its magic to its last frame.
  std::vector<std::int64_t> StreamLengths;
};
SampleLayout LayoutOfSample(const SampleShape& shape);

}  // namespace kestrave::tools
