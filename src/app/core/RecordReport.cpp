#include "app/core/RecordReport.h"

#include <algorithm>
#include <charconv>
#include <thread>

#include "app/core/ConverterWorkflow.h"
#include "audio/AmrStreamPieces.h"

namespace kestrave::app {
namespace {

std::int64_t Position(const std::string& line) {
  std::int64_t value = 0;
  std::from_chars(line.data(), line.data() + line.size(), value);
  return value;
}

std::string Plural(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

}  // namespace

std::string RecordRow::Warning() const {
  using audio::StreamEnd;
  std::string warning;
  const auto add = [&](const std::string& part) {
    if (!warning.empty()) warning += "; ";
    warning += part;
  };
  if (Stream.End == StreamEnd::Multichannel) {
    add("multichannel AMR (\"#!AMR_MC1.0\"), not read");
  } else if (Stream.End == StreamEnd::WrongMagic) {
    add("no AMR storage header");
  } else if (Stream.Frames == 0) {
    add("no complete frame");
  }
  if (Stream.HeaderRepaired) add("header repaired");
  if (Stream.Gaps > 0) {
    std::string gaps = Plural(Stream.Gaps, "gap", "gaps");
    gaps += " (";
    gaps += Plural(Stream.GapBytes, "byte", "bytes");
    gaps += ") skipped, the first at ";
    gaps += std::to_string(Start + Stream.FirstGapOffset);
    gaps += " (";
    gaps += audio::StreamEndText(Stream.FirstGapCause);
    gaps += "): ";
    gaps += Plural(Stream.RecoveredFrames, "frame", "frames");
    gaps += " recovered after it";
    add(gaps);
  }
  if (Stream.End != StreamEnd::EndOfRecord && Stream.End != StreamEnd::WrongMagic &&
      Stream.End != StreamEnd::Multichannel) {
    std::string after = Plural(Stream.TrailingBytes, "byte", "bytes");
    after += " after the stream (";
    after += audio::StreamEndText(Stream.End);
    after += ')';
    add(after);
  }
  if (FramesPastDamage > 0) {
    std::string past = Plural(FramesPastDamage, "decodable frame", "decodable frames");
    past += " past the damage left out";
    add(past);
  }
  if (!WrittenByWindow) add("not written by the window");
  return warning;
}

int RecordReport::WindowWrites() const {
  if (Magics == 0) return 0;
  return Markers <= Magics ? Markers : Magics - 1;
}

std::string RecordReport::Reason() const {
  if (Magics == Markers) return {};
  const std::string found = "found " + Plural(Magics, "AMR stream", "AMR streams") +
                            " (\"#!AMR\") and " +
                            Plural(Markers, "record marker", "record markers") + " (\"audio/amr\")";
  if (Magics == 0) return found + ": the window finds no record and writes nothing";
  if (Markers == 0)
    return found + ": the window counts records by their markers and writes nothing";
  if (Markers < Magics)
    return found + ": the window counts records by their markers and writes records 1 to " +
           std::to_string(Markers);
  const std::string stop =
      "then stops with \"List index out of bounds (" + std::to_string(Magics) + ")\"";
  if (Magics == 1) return found + ": the window writes nothing and " + stop.substr(5);
  return found + ": the window writes records 1 to " + std::to_string(Magics - 1) + ", " + stop;
}

RecordRow RecordReport::Row(int index) const {
  const Stored& stored = records_[static_cast<std::size_t>(index)];
  RecordRow row;
  row.Number = index + 1;
  row.Start = stored.Start;
  row.End =
      index + 1 < Count() ? records_[static_cast<std::size_t>(index) + 1].Start - 1 : dataSize_ - 1;
  row.WrittenByWindow = row.Number <= WindowWrites();
  audio::StreamStart start;
  start.Repaired = stored.HeaderRepaired;
  if (stored.Codec != audio::AmrCodec::Unknown) {
    start.Codec = stored.Codec;
    start.HeaderBytes = static_cast<std::int64_t>(audio::StorageHeader(stored.Codec).size());
  }
  audio::WalkTotals totals;
  totals.Frames = stored.Frames;
  totals.At = std::int64_t{stored.ValidBytes} + stored.GapBytes;
  totals.Gaps = stored.Gaps;
  totals.GapBytes = stored.GapBytes;
  totals.RecoveredFrames = stored.RecoveredFrames;
  totals.FirstGapOffset = stored.FirstGapOffset;
  totals.FirstGapCause = stored.FirstGapCause;
  totals.End = stored.End;
  row.Stream = audio::FinishStreamInfo(start, row.Size(), totals);
  if (recovery_ == audio::Recovery::StopAtDamage) {
    row.FramesPastDamage = row.Stream.RecoveredFrames;
    row.Stream = audio::UndamagedPart(row.Stream);
  }
  return row;
}

RecordReport BuildRecordReport(const ConverterWorkflow& workflow, audio::Recovery recovery) {
  RecordReport report;
  report.recovery_ = recovery;
  const TStringList& magics = workflow.ListBox1;
  const TStringList& markers = workflow.ListBox2;
  const int count = magics.Count();
  report.Magics = count;
  report.Markers = markers.Count();
  const hex::THexEditorEx& data = workflow.HexEditorEx1;
  report.dataSize_ = data.DataSize();
  report.records_.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    report.records_[static_cast<std::size_t>(i)].Start =
        static_cast<std::int32_t>(Position(magics.Strings(i)));
  // A gigabyte holds tens of millions of frames: every core walks its share. The streams are
  // read a batch of records at a time, so what the reader keeps per record stays small. The
  // walk always goes on past damage: the rows that stop there follow from it.
  const auto threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  constexpr int kBatch = 1 << 16;
  std::vector<std::span<const std::uint8_t>> bytes;
  // Both lists are in order: the first marker after each record's start is found by stepping.
  int marker = 0;
  std::int64_t markerAt = -1;
  const auto nextMarker = [&] {
    markerAt = marker < markers.Count() ? Position(markers.Strings(marker++)) : -1;
  };
  nextMarker();
  for (int first = 0; first < count; first += kBatch) {
    const int last = std::min(count, first + kBatch);
    bytes.clear();
    for (int i = first; i < last; ++i) {
      const auto index = static_cast<std::size_t>(i);
      const std::int32_t start = report.records_[index].Start;
      std::int64_t end =
          i + 1 < count ? report.records_[index + 1].Start - 1 : report.dataSize_ - 1;
      // The next record's marker ends this one's stream: a frame cut there takes none of it.
      while (markerAt >= 0 && markerAt <= start)
        nextMarker();
      if (markerAt >= 0 && markerAt <= end) end = markerAt - 1;
      bytes.push_back(data.ViewBytes(start, static_cast<int>(end - start + 1)));
    }
    const std::vector<audio::AmrStreamInfo> streams =
        audio::ReadAmrStreams(bytes, threads, std::size_t{1} << 20, audio::Recovery::Resynchronise);
    for (int i = first; i < last; ++i) {
      const audio::AmrStreamInfo& stream = streams[static_cast<std::size_t>(i - first)];
      RecordReport::Stored& stored = report.records_[static_cast<std::size_t>(i)];
      stored.Frames = static_cast<std::int32_t>(stream.Frames);
      stored.ValidBytes = static_cast<std::int32_t>(stream.ValidBytes);
      stored.Gaps = static_cast<std::int32_t>(stream.Gaps);
      stored.GapBytes = static_cast<std::int32_t>(stream.GapBytes);
      stored.RecoveredFrames = static_cast<std::int32_t>(stream.RecoveredFrames);
      stored.FirstGapOffset = static_cast<std::int32_t>(stream.FirstGapOffset);
      stored.Codec = stream.Codec;
      stored.End = stream.End;
      stored.FirstGapCause = stream.FirstGapCause;
      stored.HeaderRepaired = stream.HeaderRepaired;
    }
  }
  return report;
}

std::span<const std::uint8_t> RecordBytes(const ConverterWorkflow& workflow, const RecordRow& row) {
  return workflow.HexEditorEx1.ViewBytes(static_cast<int>(row.Start),
                                         static_cast<int>(row.Stream.StreamBytes()));
}

}  // namespace kestrave::app
