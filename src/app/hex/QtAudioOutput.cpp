#include "app/hex/QtAudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace kestrave::app {

QtAudioOutput::QtAudioOutput() = default;

QtAudioOutput::~QtAudioOutput() {
  Stop();
}

bool QtAudioOutput::Available() {
  return !QMediaDevices::defaultAudioOutput().isNull();
}

bool QtAudioOutput::Play(const std::vector<std::int16_t>& samples, int rate, std::int64_t from) {
  Stop();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull() || from < 0 || from >= static_cast<std::int64_t>(samples.size()))
    return false;
  QAudioFormat format;
  format.setSampleRate(rate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) return false;
  bytes_ = QByteArray(reinterpret_cast<const char*>(samples.data() + from),
                      static_cast<qsizetype>((samples.size() - static_cast<std::size_t>(from)) *
                                             sizeof(std::int16_t)));
  buffer_.setData(bytes_);
  if (!buffer_.open(QIODevice::ReadOnly)) return false;
  rate_ = rate;
  from_ = from;
  sink_ = std::make_unique<QAudioSink>(device, format);
  sink_->start(&buffer_);
  if (sink_->error() != QAudio::NoError) {
    Stop();
    return false;
  }
  return true;
}

void QtAudioOutput::Stop() {
  if (sink_) sink_->stop();
  sink_.reset();
  buffer_.close();
}

bool QtAudioOutput::Playing() {
  if (!sink_) return false;
  // Idle once the buffer has been played to its end.
  return sink_->state() == QAudio::ActiveState ||
         (sink_->state() == QAudio::IdleState && !buffer_.atEnd());
}

std::int64_t QtAudioOutput::Position() {
  if (!sink_) return from_;
  return from_ + sink_->processedUSecs() * rate_ / 1000000;
}

}  // namespace kestrave::app
