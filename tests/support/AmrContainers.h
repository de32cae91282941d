#pragma once

// Containers of our own layout around given AMR streams, and WAV files read back, for the tests
// of what is made of records. Header only.

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace kestrave::test {

inline const std::string kRecordMarker = std::string("\x06\x1F\x22", 3) + "audio/amr";

// Each stream after a marker and a record header and followed by metadata, as real containers
// keep them.
inline std::vector<std::uint8_t> ContainerOf(
    const std::vector<std::vector<std::uint8_t>>& streams) {
  std::string bytes = std::string("KDRF") + std::string(24, '\0');
  for (std::size_t i = 0; i < streams.size(); ++i) {
    bytes += kRecordMarker + std::string(6, static_cast<char>(i + 1));
    bytes.append(streams[i].begin(), streams[i].end());
    bytes += "meta:recorded=2026-12-09;";
  }
  return {bytes.begin(), bytes.end()};
}

// The samples of a 16-bit mono WAV file written with a 44-byte header; empty when shorter.
inline std::vector<std::int16_t> WavSamples(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadAll(path);
  std::vector<std::int16_t> samples;
  for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
    samples.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8));
  return samples;
}

}  // namespace kestrave::test
