#include "app/hex/QtAudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

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

// What the sink has taken from the buffer, less what it still holds: its own count of processed
// time runs ahead and in jumps.
std::int64_t QtAudioOutput::Position() {
  if (!sink_) return from_;
  const qint64 queued = std::max<qint64>(sink_->bufferSize() - sink_->bytesFree(), 0);
  const qint64 played = std::max<qint64>(buffer_.pos() - queued, 0);
  return from_ + played / static_cast<qint64>(sizeof(std::int16_t));
}

}  // namespace kestrave::app
