#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "audio/AmrStream.h"

namespace kestrave::app {

class ConverterWorkflow;
struct RecordPositions;
struct StreamWalker;

// One part of what a record's warning says, with its numbers, so that a window can say it in
// its own language.
struct WarningPart {
  enum Kind : std::uint8_t {
    Multichannel,        // "#!AMR_MC1.0", which is not read
    NoStorageHeader,     // the record starts with no storage header
    NoCompleteFrame,     // a header and no whole frame after it
    HeaderRepaired,      // a header in another letter case, written as the standard one
    Gaps,                // Count gaps of Bytes bytes, the first at At for Cause; Frames after it
    BytesAfterStream,    // Bytes after the stream, which ended for Cause
    FramesPastDamage,    // Frames decodable frames past the damage, left out (no recovery)
    NotWrittenByWindow,  // "Сохранить AMR" leaves the record out
  };
  Kind What = NoStorageHeader;
  std::int64_t Count = 0;
  std::int64_t Bytes = 0;
  std::int64_t At = 0;
  std::int64_t Frames = 0;
  audio::StreamEnd Cause = audio::StreamEnd::EndOfRecord;
};

// The part in English, as the command line shows it.
std::string WarningPartText(const WarningPart& part);

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
  std::vector<WarningPart> WarningParts() const;
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
  std::int64_t DataSize() const { return dataSize_; }
  // The last byte "Сохранить AMR" writes for record Index: its last record runs to the end of
  // the data, over any record after it that it does not count.
  std::int64_t WindowEnd(int index) const;
  // The record whose bytes hold Position, or -1 before the first one.
  int RecordAt(std::int64_t position) const;

 private:
  friend RecordReport BuildRecordReport(std::int64_t dataSize, const RecordPositions& positions,
                                        audio::Recovery recovery, const StreamWalker& walk);
  std::int64_t EndOf(std::size_t index) const;
  // Where each record starts and what its stream holds, as the walk that goes on past damage
  // finds it (the rows that stop at damage follow from it): positions fit an int, as the
  // buffer's do.
  struct Stored {
    std::int32_t Start = 0;
    audio::PackedStreamInfo Stream;
  };
  static_assert(sizeof(Stored) == 32);
  std::vector<Stored> records_;
  std::int64_t dataSize_ = 0;
  audio::Recovery recovery_ = audio::Recovery::Resynchronise;
};

// Where the records of some data start ("#!AMR") and where their markers ("audio/amr") lie,
// each in order, however the caller keeps them.
struct RecordPositions {
  int Magics = 0;
  std::function<std::int64_t(int index)> MagicAt;
  int Markers = 0;
  std::function<std::int64_t(int index)> MarkerAt;
};

// Where a record's stream may lie: from the record's first byte, Size bytes, up to where the
// container says the next record begins (its record marker, or the next magic).
struct StreamRange {
  std::int64_t Start = 0;
  std::int64_t Size = 0;
};
// Walks the streams of a batch of records, going on past damage, wherever their bytes are kept.
struct StreamWalker {
  std::function<std::vector<audio::AmrStreamInfo>(const std::vector<StreamRange>& ranges)> Walk;
};

// The report of the records at Positions in data of DataSize bytes, their streams walked by Walk.
RecordReport BuildRecordReport(std::int64_t dataSize, const RecordPositions& positions,
                               audio::Recovery recovery, const StreamWalker& walk);
// The report of the records at Positions in Data, their streams walked on Threads threads (0:
// every core). Each record's stream is read up to where the container says the next record
// begins: its record marker, or the next magic. Reads Data only.
RecordReport BuildRecordReport(std::span<const std::uint8_t> data, const RecordPositions& positions,
                               audio::Recovery recovery = audio::Recovery::Resynchronise,
                               int threads = 0);
// The report of a container the workflow has opened and scanned.
RecordReport BuildRecordReport(const ConverterWorkflow& workflow,
                               audio::Recovery recovery = audio::Recovery::Resynchronise);
// The report of the records in Data found as the converter finds them in a container (both
// texts in any letter case, folded as its editor folds them), searched on Threads threads.
RecordReport ScanRecordReport(std::span<const std::uint8_t> data, int threads,
                              audio::Recovery recovery = audio::Recovery::Resynchronise);

// The bytes of the container the workflow has open.
std::span<const std::uint8_t> ContainerBytes(const ConverterWorkflow& workflow);

}  // namespace kestrave::app
