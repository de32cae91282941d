#pragma once

#include <cstdint>
#include <vector>

namespace kestrave::test {

// A speech-like sound made here: a voice whose pitch glides between 110 and 240 Hz, with
// harmonics shaped by two moving formants, in syllables four times a second with short pauses.
std::vector<std::int16_t> SpeechLikeSound(int sampleRate, double seconds);

// A sentence spoken by espeak-ng, at the given rate (ffmpeg resamples it); empty when either
// program is missing.
std::vector<std::int16_t> SpokenSentence(int sampleRate);

// AMR files made by the real encoders (opencore's narrowband encoder, VisualOn's wideband
// encoder): the storage header, then one frame per 20 ms of Sound in the given mode.
std::vector<std::uint8_t> EncodeNarrowband(const std::vector<std::int16_t>& sound, int mode);
std::vector<std::uint8_t> EncodeWideband(const std::vector<std::int16_t>& sound, int mode);

}  // namespace kestrave::test
