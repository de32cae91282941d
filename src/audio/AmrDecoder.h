#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "audio/AmrStream.h"

namespace kestrave::audio {

// Decodes AMR frames to 16-bit samples with the opencore decoders, one frame after another:
// each frame's sound depends on the frames before it.
class AmrDecoder {
 public:
  // Throws std::bad_alloc when the decoder cannot be set up.
  explicit AmrDecoder(AmrCodec codec);
  ~AmrDecoder();
  AmrDecoder(const AmrDecoder&) = delete;
  AmrDecoder& operator=(const AmrDecoder&) = delete;

  AmrCodec Codec() const { return codec_; }
  // Decodes the frames of Stream (whole frames, header bytes included) and appends
  // SamplesPerFrame samples for each to Samples; answers the frames decoded.
  std::int64_t DecodeFrames(std::span<const std::uint8_t> stream,
                            std::vector<std::int16_t>& samples);

 private:
  AmrCodec codec_;
  void* state_;
};

}  // namespace kestrave::audio
