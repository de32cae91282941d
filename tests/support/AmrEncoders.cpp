#include "support/AmrEncoders.h"

#include "support/TempDir.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

extern "C" {
#include <opencore-amrnb/interf_enc.h>
#include <vo-amrwbenc/enc_if.h>
}

namespace kestrave::test {
namespace {

// The storage header, with room for the frames to come.
std::vector<std::uint8_t> StartFile(std::string_view header, std::size_t frames) {
  std::vector<std::uint8_t> out(header.begin(), header.end());
  out.reserve(header.size() + 64 * frames);
  return out;
}

}  // namespace

std::vector<std::int16_t> SpeechLikeSound(int sampleRate, double seconds) {
  const auto count = static_cast<std::size_t>(sampleRate * seconds);
  std::vector<std::int16_t> sound(count);
  double phase = 0;
  std::uint32_t noise = 12345;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    const double pitch = 175 + 65 * std::sin(2 * M_PI * 0.7 * t);
    phase += 2 * M_PI * pitch / sampleRate;
    const double formant1 = 500 + 300 * std::sin(2 * M_PI * 1.3 * t);
    const double formant2 = 1500 + 700 * std::sin(2 * M_PI * 0.9 * t + 1);
    double voice = 0;
    for (int h = 1; h * pitch < sampleRate / 2.0 && h <= 40; ++h) {
      const double f = h * pitch;
      const double gain = 1 / (1 + std::pow((f - formant1) / 150, 2)) +
                          0.5 / (1 + std::pow((f - formant2) / 250, 2));
      voice += gain * std::sin(h * phase);
    }
    // Syllables: four a second, each fading in and out, with a pause between them.
    const double syllable = std::fmod(t * 4, 1.0);
    const double envelope = syllable < 0.8 ? std::sin(M_PI * syllable / 0.8) : 0;
    noise = noise * 1664525u + 1013904223u;
    const double hiss = (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 0.02;
    sound[i] = static_cast<std::int16_t>(std::lround(6000 * envelope * voice / 2 + 3000 * hiss));
  }
  return sound;
}

std::vector<std::int16_t> SpokenSentence(int sampleRate) {
  TempDir dir;
  const std::string wav = dir.File("spoken.wav");
  const std::string raw = dir.File("spoken.raw");
  const std::string command =
      "espeak-ng -w '" + wav +
      "' 'Kestrave finds the voice records inside a container and writes each one to its own "
      "file. The quick brown fox jumps over the lazy dog.' >/dev/null 2>&1 && "
      "ffmpeg -nostdin -v error -y -i '" +
      wav + "' -f s16le -acodec pcm_s16le -ac 1 -ar " + std::to_string(sampleRate) + " '" + raw +
      "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  const auto bytes = ReadAll(raw);
  std::vector<std::int16_t> sound(bytes.size() / 2);
  for (std::size_t i = 0; i < sound.size(); ++i)
    sound[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return sound;
}

std::vector<std::uint8_t> EncodeNarrowband(const std::vector<std::int16_t>& sound, int mode) {
  void* encoder = Encoder_Interface_init(0);
  if (!encoder) throw std::runtime_error("the narrowband encoder cannot start");
  std::vector<std::uint8_t> out = StartFile("#!AMR\n", sound.size() / 160);
  std::uint8_t frame[64];
  for (std::size_t at = 0; at + 160 <= sound.size(); at += 160) {
    const int bytes =
        Encoder_Interface_Encode(encoder, static_cast<Mode>(mode), sound.data() + at, frame, 0);
    if (bytes > 0) out.insert(out.end(), frame, frame + bytes);
  }
  Encoder_Interface_exit(encoder);
  return out;
}

std::vector<std::uint8_t> EncodeWideband(const std::vector<std::int16_t>& sound, int mode) {
  void* encoder = E_IF_init();
  if (!encoder) throw std::runtime_error("the wideband encoder cannot start");
  std::vector<std::uint8_t> out = StartFile("#!AMR-WB\n", sound.size() / 320);
  std::uint8_t frame[64];
  for (std::size_t at = 0; at + 320 <= sound.size(); at += 320) {
    const int bytes = E_IF_encode(encoder, mode, sound.data() + at, frame, 0);
    if (bytes > 0) out.insert(out.end(), frame, frame + bytes);
  }
  E_IF_exit(encoder);
  return out;
}

}  // namespace kestrave::test
