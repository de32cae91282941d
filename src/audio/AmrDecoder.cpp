#include "audio/AmrDecoder.h"

#include <new>

extern "C" {
#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrwb/dec_if.h>
}

namespace kestrave::audio {

AmrDecoder::AmrDecoder(AmrCodec codec)
    : codec_(codec), state_(codec == AmrCodec::Wideband ? D_IF_init() : Decoder_Interface_init()) {
  if (!state_) throw std::bad_alloc();
}

AmrDecoder::~AmrDecoder() {
  if (codec_ == AmrCodec::Wideband) {
    D_IF_exit(state_);
  } else {
    Decoder_Interface_exit(state_);
  }
}

std::int64_t AmrDecoder::DecodeFrames(std::span<const std::uint8_t> stream,
                                      std::vector<std::int16_t>& samples) {
  const int perFrame = SamplesPerFrame(codec_);
  std::int64_t frames = 0;
  std::size_t at = 0;
  while (at < stream.size()) {
    const int bytes = FrameBytes(codec_, (stream[at] >> 3) & 0x0F);
    // Only whole frames of known types reach the decoder: it reads a frame's full size.
    if (bytes == 0 || stream.size() - at < static_cast<std::size_t>(bytes)) break;
    const std::size_t first = samples.size();
    samples.resize(first + static_cast<std::size_t>(perFrame));
    if (codec_ == AmrCodec::Wideband) {
      D_IF_decode(state_, stream.data() + at, samples.data() + first, 0);
    } else {
      Decoder_Interface_Decode(state_, stream.data() + at, samples.data() + first, 0);
    }
    at += static_cast<std::size_t>(bytes);
    ++frames;
  }
  return frames;
}

}  // namespace kestrave::audio
