#pragma once

// What the audio tests read back: WAV files, ffmpeg's own decoding of a file, and how far two
// sounds differ. Header only.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/CliRun.h"
#include "support/TempDir.h"

namespace kestrave::test {

inline bool HaveFfmpeg() {
  return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

struct Wav {
  int rate = 0;
  int channels = 0;
  int bits = 0;
  std::vector<std::int16_t> samples;
};

inline Wav ReadWav(const std::string& path) {
  const auto bytes = ReadAll(path);
  Wav wav;
  if (bytes.size() < 44) return wav;
  const auto u16 = [&](std::size_t at) { return bytes[at] | bytes[at + 1] << 8; };
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  };
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), bytes.size() - 8);
  EXPECT_EQ(u32(40), bytes.size() - 44);
  wav.channels = u16(22);
  wav.rate = static_cast<int>(u32(24));
  wav.bits = u16(34);
  for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
    wav.samples.push_back(static_cast<std::int16_t>(u16(at)));
  return wav;
}

// ffmpeg's own decoder (not opencore) on a file, to 16-bit samples at the stream's rate, through
// the audio filter Filter when one is given.
inline std::vector<std::int16_t> FfmpegSamples(const TempDir& dir, const std::string& file,
                                               int rate, const std::string& filter,
                                               std::string& messages) {
  const std::string raw = dir.File("ffmpeg.raw");
  const std::string log = dir.File("ffmpeg.log");
  const std::string command = "ffmpeg -nostdin -v error -y -i '" + dir.File(file) + "' " +
                              (filter.empty() ? "" : "-af " + filter + " ") +
                              "-f s16le -acodec pcm_s16le -ac 1 -ar " + std::to_string(rate) +
                              " '" + raw + "' 2>'" + log + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << Slurp(log);
  messages = Slurp(log);
  const auto bytes = ReadAll(raw);
  std::vector<std::int16_t> samples(bytes.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return samples;
}

inline double SignalToNoiseDb(const std::vector<std::int16_t>& ours,
                              const std::vector<std::int16_t>& reference) {
  double signal = 0;
  double noise = 0;
  for (std::size_t i = 0; i < std::min(ours.size(), reference.size()); ++i) {
    signal += static_cast<double>(reference[i]) * reference[i];
    const double difference = static_cast<double>(ours[i]) - reference[i];
    noise += difference * difference;
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

}  // namespace kestrave::test
