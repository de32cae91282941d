#pragma once

#include <cstdint>
#include <vector>

namespace kestrave::app {

// Where the records panel plays a record's sound: the desktop's audio output, or a stand-in.
class IAudioOutput {
 public:
  virtual ~IAudioOutput() = default;
  // Whether there is an output to play on.
  virtual bool Available() = 0;
  // Plays 16-bit mono Samples at Rate from sample From on; false when the output refuses.
  virtual bool Play(const std::vector<std::int16_t>& samples, int rate, std::int64_t from) = 0;
  virtual void Stop() = 0;
  // False again once the last sample has been played.
  virtual bool Playing() = 0;
  // The sample being heard now.
  virtual std::int64_t Position() = 0;
};

}  // namespace kestrave::app
