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
  // In a report that stops at damage: the frames past it where the stream could be taken up
  // again, which Stream leaves out. Always 0 in a report that resynchronises.
  std::int64_t FramesPastDamage = 0;
  std::int64_t Size() const { return End - Start + 1; }
  // Where the stream and the record disagree, in a few words; empty when they agree.
  std::string Warning() const;
};

// The records of a scanned container, and, when the magic and marker counts differ, which of
// them the window writes and why. A container may hold millions of records: each is kept in 32
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
  // Whether the rows go on past damage, or stop at it as earlier versions did.
  audio::Recovery Recovery() const { return recovery_; }

 private:
  friend RecordReport BuildRecordReport(const ConverterWorkflow& workflow,
                                        audio::Recovery recovery);
  // What a row holds that does not follow from the others, as the walk that goes on past
  // damage finds it (the rows that stop at damage follow from it): positions fit an int, as
  // the buffer's do, and so do a record's frames and bytes.
  struct Stored {
    std::int32_t Start = 0;
    std::int32_t Frames = 0;
    std::int32_t ValidBytes = 0;
    std::int32_t Gaps = 0;
    std::int32_t GapBytes = 0;
    std::int32_t RecoveredFrames = 0;
    std::int32_t FirstGapOffset = 0;
    audio::AmrCodec Codec = audio::AmrCodec::Unknown;
    audio::StreamEnd End = audio::StreamEnd::WrongMagic;
    audio::StreamEnd FirstGapCause = audio::StreamEnd::EndOfRecord;
    bool HeaderRepaired = false;
  };
  static_assert(sizeof(Stored) == 32);
  std::vector<Stored> records_;
  std::int64_t dataSize_ = 0;
  audio::Recovery recovery_ = audio::Recovery::Resynchronise;
};

// The report of a container the workflow has opened and scanned. Each record's stream is read
// up to where the container says the next record begins: its record marker, or the next
// magic.
RecordReport BuildRecordReport(const ConverterWorkflow& workflow,
                               audio::Recovery recovery = audio::Recovery::Resynchronise);
// A record from its first byte to the end of its stream's last frame (header, frames and the
// gaps between them): what a trimmed or decoded file is made from, with
// audio::ForEachTrimmedPiece.
std::span<const std::uint8_t> RecordBytes(const ConverterWorkflow& workflow, const RecordRow& row);

}  // namespace kestrave::app
