#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kestrave::audio {

inline constexpr std::size_t kWavHeaderBytes = 44;

// The header of a WAV file of 16-bit PCM, one channel: the RIFF chunk, the format chunk and the
// head of the data chunk that holds Samples samples. Nothing when the sizes would not fit the
// format's 32-bit fields (more than about 2 GiB of sound).
std::optional<std::array<std::uint8_t, kWavHeaderBytes>> MonoPcm16WavHeader(int sampleRate,
                                                                            std::int64_t samples);

}  // namespace kestrave::audio
