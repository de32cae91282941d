#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "audio/AmrStream.h"

namespace kestrave::app {

class ConverterWorkflow;

// One record as the window cuts it (from its magic to the byte before the next magic, or to the
// end), and what its AMR stream really holds.
struct RecordRow {
  int Number = 0;  // from 1
  std::int64_t Start = 0;
  std::int64_t End = 0;  // the last byte, included
  audio::AmrStreamInfo Stream;
  // Whether "Сохранить AMR" writes this record.
  bool WrittenByWindow = false;
  std::int64_t Size() const { return End - Start + 1; }
  // Where the stream and the record disagree, in a few words; empty when they agree.
  std::string Warning() const;
};

// The records of a scanned container, and, when the magic and marker counts differ, which of
// them the window writes and why. A container may hold millions of records: each is kept in 16
// bytes, and its row is made when asked for.
class RecordReport {
 public:
  int Magics = 0;
  int Markers = 0;
  int Count() const { return static_cast<int>(records_.size()); }
  // Record Index + 1.
  RecordRow Row(int index) const;
  // How many records "Сохранить AMR" writes before it stops: the first Markers records, and
  // with more markers than magics it fails on the last.
  int WindowWrites() const;
  // Empty when the counts agree.
  std::string Reason() const;

 private:
  friend RecordReport BuildRecordReport(const ConverterWorkflow& workflow);
  // What a row holds that does not follow from the others: positions fit an int, as the
  // buffer's do, and so do a record's frames and bytes.
  struct Stored {
    std::int32_t Start = 0;
    std::int32_t Frames = 0;
    std::int32_t ValidBytes = 0;
    audio::AmrCodec Codec = audio::AmrCodec::Unknown;
    audio::StreamEnd End = audio::StreamEnd::WrongMagic;
  };
  std::vector<Stored> records_;
  std::int64_t dataSize_ = 0;
};

// The report of a container the workflow has opened and scanned.
RecordReport BuildRecordReport(const ConverterWorkflow& workflow);
// The stream bytes of a record (the part the stream reader accepts), for trimmed writes.
std::span<const std::uint8_t> RecordBytes(const ConverterWorkflow& workflow, const RecordRow& row);

}  // namespace kestrave::app
