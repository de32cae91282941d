#include "audio/WavHeader.h"

#include <cstring>
#include <limits>

namespace kestrave::audio {
namespace {

// The format's numbers are little endian whatever the processor.
class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::uint8_t* out) : out_(out) {}
  void Text(const char (&text)[5]) {
    std::memcpy(out_, text, 4);
    out_ += 4;
  }
  void U16(std::uint32_t value) { Bytes(value, 2); }
  void U32(std::uint32_t value) { Bytes(value, 4); }

 private:
  void Bytes(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
      *out_++ = static_cast<std::uint8_t>(value >> (8 * i));
  }
  std::uint8_t* out_;
};

}  // namespace

std::optional<std::array<std::uint8_t, kWavHeaderBytes>> MonoPcm16WavHeader(int sampleRate,
                                                                            std::int64_t samples) {
  constexpr std::int64_t kBytesPerSample = 2;
  const std::int64_t dataBytes = samples * kBytesPerSample;
  constexpr std::int64_t kLargest = std::numeric_limits<std::uint32_t>::max();
  constexpr auto kAfterSize = static_cast<std::int64_t>(kWavHeaderBytes) - 8;
  if (samples < 0 || sampleRate <= 0 || dataBytes > kLargest - kAfterSize) return std::nullopt;
  std::array<std::uint8_t, kWavHeaderBytes> header{};
  LittleEndianWriter out(header.data());
  out.Text("RIFF");
  out.U32(static_cast<std::uint32_t>(dataBytes + kAfterSize));
  out.Text("WAVE");
  out.Text("fmt ");
  out.U32(16);  // the format chunk's size
  out.U16(1);   // PCM
  out.U16(1);   // one channel
  out.U32(static_cast<std::uint32_t>(sampleRate));
  out.U32(static_cast<std::uint32_t>(sampleRate * kBytesPerSample));  // bytes per second
  out.U16(kBytesPerSample);                                           // bytes per frame
  out.U16(16);                                                        // bits per sample
  out.Text("data");
  out.U32(static_cast<std::uint32_t>(dataBytes));
  return header;
}

}  // namespace kestrave::audio
