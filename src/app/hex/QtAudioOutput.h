#pragma once

#include <QBuffer>
#include <QByteArray>
#include <memory>

#include "app/hex/AudioOutput.h"

class QAudioSink;

namespace kestrave::app {

// The desktop's default audio output through Qt Multimedia, fed from memory.
class QtAudioOutput : public IAudioOutput {
 public:
  QtAudioOutput();
  ~QtAudioOutput() override;
  bool Available() override;
  bool Play(const std::vector<std::int16_t>& samples, int rate, std::int64_t from) override;
  void Stop() override;
  bool Playing() override;
  std::int64_t Position() override;

 private:
  std::unique_ptr<QAudioSink> sink_;
  QByteArray bytes_;
  QBuffer buffer_;
  int rate_ = 0;
  std::int64_t from_ = 0;
};

}  // namespace kestrave::app
