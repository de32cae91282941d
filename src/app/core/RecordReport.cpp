#include "app/core/RecordReport.h"

#include <algorithm>
#include <charconv>
#include <thread>

#include "app/core/ConverterWorkflow.h"
#include "app/core/RecordStarts.h"
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

std::vector<WarningPart> RecordRow::WarningParts() const {
  using audio::StreamEnd;
  std::vector<WarningPart> parts;
  const auto add = [&](WarningPart::Kind what) -> WarningPart& {
    parts.push_back({});
    parts.back().What = what;
    return parts.back();
  };
  if (Stream.End == StreamEnd::Multichannel) {
    add(WarningPart::Multichannel);
  } else if (Stream.End == StreamEnd::WrongMagic) {
    add(WarningPart::NoStorageHeader);
  } else if (Stream.Frames == 0) {
    add(WarningPart::NoCompleteFrame);
  }
  if (Stream.HeaderRepaired) add(WarningPart::HeaderRepaired);
  if (Stream.Gaps > 0) {
    WarningPart& gaps = add(WarningPart::Gaps);
    gaps.Count = Stream.Gaps;
    gaps.Bytes = Stream.GapBytes;
    gaps.At = Start + Stream.FirstGapOffset;
    gaps.Frames = Stream.RecoveredFrames;
    gaps.Cause = Stream.FirstGapCause;
  }
  if (Stream.End != StreamEnd::EndOfRecord && Stream.End != StreamEnd::WrongMagic &&
      Stream.End != StreamEnd::Multichannel) {
    WarningPart& after = add(WarningPart::BytesAfterStream);
    after.Bytes = Stream.TrailingBytes;
    after.Cause = Stream.End;
  }
  if (FramesPastDamage > 0) add(WarningPart::FramesPastDamage).Frames = FramesPastDamage;
  if (!WrittenByWindow) add(WarningPart::NotWrittenByWindow);
  return parts;
}

std::string WarningPartText(const WarningPart& part) {
  std::string text;
  switch (part.What) {
    case WarningPart::Multichannel:
      return "multichannel AMR (\"#!AMR_MC1.0\"), not read";
    case WarningPart::NoStorageHeader:
      return "no AMR storage header";
    case WarningPart::NoCompleteFrame:
      return "no complete frame";
    case WarningPart::HeaderRepaired:
      return "header repaired";
    case WarningPart::Gaps:
      text = Plural(part.Count, "gap", "gaps");
      text += " (";
      text += Plural(part.Bytes, "byte", "bytes");
      text += ") skipped, the first at ";
      text += std::to_string(part.At);
      text += " (";
      text += audio::StreamEndText(part.Cause);
      text += "): ";
      text += Plural(part.Frames, "frame", "frames");
      text += " recovered after it";
      return text;
    case WarningPart::BytesAfterStream:
      text = Plural(part.Bytes, "byte", "bytes");
      text += " after the stream (";
      text += audio::StreamEndText(part.Cause);
      text += ')';
      return text;
    case WarningPart::FramesPastDamage:
      text = Plural(part.Frames, "decodable frame", "decodable frames");
      text += " past the damage left out";
      return text;
    case WarningPart::NotWrittenByWindow:
      return "not written by the window";
  }
  return text;
}

std::string RecordRow::Warning() const {
  std::string warning;
  for (const WarningPart& part : WarningParts()) {
    if (!warning.empty()) warning += "; ";
    warning += WarningPartText(part);
  }
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

std::int64_t RecordReport::EndOf(std::size_t index) const {
  return index + 1 < records_.size() ? records_[index + 1].Start - 1 : dataSize_ - 1;
}

std::int64_t RecordReport::WindowEnd(int index) const {
  return index + 1 == Markers ? dataSize_ - 1 : EndOf(static_cast<std::size_t>(index));
}

int RecordReport::RecordAt(std::int64_t position) const {
  const auto after =
      std::upper_bound(records_.begin(), records_.end(), position,
                       [](std::int64_t at, const Stored& record) { return at < record.Start; });
  return static_cast<int>(after - records_.begin()) - 1;
}

RecordRow RecordReport::Row(int index) const {
  const Stored& stored = records_[static_cast<std::size_t>(index)];
  RecordRow row;
  row.Number = index + 1;
  row.Start = stored.Start;
  row.End = EndOf(static_cast<std::size_t>(index));
  row.WrittenByWindow = row.Number <= WindowWrites();
  row.Stream = stored.Stream.Unpacked(row.Size());
  if (recovery_ == audio::Recovery::StopAtDamage) {
    row.FramesPastDamage = row.Stream.RecoveredFrames;
    row.Stream = audio::UndamagedPart(row.Stream);
  }
  return row;
}

RecordReport BuildRecordReport(std::int64_t dataSize, const RecordPositions& positions,
                               audio::Recovery recovery, const StreamWalker& walk) {
  RecordReport report;
  report.recovery_ = recovery;
  const int count = positions.Magics;
  report.Magics = count;
  report.Markers = positions.Markers;
  report.dataSize_ = dataSize;
  report.records_.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    report.records_[static_cast<std::size_t>(i)].Start =
        static_cast<std::int32_t>(positions.MagicAt(i));
  // The streams are walked a batch of records at a time, so what the walker keeps per record
  // stays small. The walk always goes on past damage: the rows that stop there follow from it.
  constexpr int kBatch = 1 << 16;
  std::vector<StreamRange> ranges;
  // Both lists are in order: the first marker after each record's start is found by stepping.
  int marker = 0;
  std::int64_t markerAt = -1;
  const auto nextMarker = [&] {
    markerAt = marker < positions.Markers ? positions.MarkerAt(marker++) : -1;
  };
  nextMarker();
  for (int first = 0; first < count; first += kBatch) {
    const int last = std::min(count, first + kBatch);
    ranges.clear();
    for (int i = first; i < last; ++i) {
      const auto index = static_cast<std::size_t>(i);
      const std::int32_t start = report.records_[index].Start;
      std::int64_t end = report.EndOf(index);
      // The next record's marker ends this one's stream: a frame cut there takes none of it.
      while (markerAt >= 0 && markerAt <= start)
        nextMarker();
      if (markerAt >= 0 && markerAt <= end) end = markerAt - 1;
      ranges.push_back({start, end - start + 1});
    }
    const std::vector<audio::AmrStreamInfo> streams = walk.Walk(ranges);
    for (int i = first; i < last; ++i) {
      const audio::AmrStreamInfo& stream = streams[static_cast<std::size_t>(i - first)];
      report.records_[static_cast<std::size_t>(i)].Stream = audio::PackedStreamInfo::Of(stream);
    }
  }
  return report;
}

RecordReport BuildRecordReport(std::span<const std::uint8_t> data, const RecordPositions& positions,
                               audio::Recovery recovery, int threads) {
  // A gigabyte holds tens of millions of frames: every core walks its share.
  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::span<const std::uint8_t>> bytes;
  const StreamWalker walker{[&](const std::vector<StreamRange>& ranges) {
    bytes.clear();
    for (const StreamRange& range : ranges)
      bytes.push_back(data.subspan(static_cast<std::size_t>(range.Start),
                                   static_cast<std::size_t>(range.Size)));
    return audio::ReadAmrStreams(bytes, threads, std::size_t{1} << 20,
                                 audio::Recovery::Resynchronise);
  }};
  return BuildRecordReport(static_cast<std::int64_t>(data.size()), positions, recovery, walker);
}

RecordReport BuildRecordReport(const ConverterWorkflow& workflow, audio::Recovery recovery) {
  const TStringList& magics = workflow.ListBox1;
  const TStringList& markers = workflow.ListBox2;
  RecordPositions positions;
  positions.Magics = magics.Count();
  positions.MagicAt = [&](int index) { return Position(magics.Strings(index)); };
  positions.Markers = markers.Count();
  positions.MarkerAt = [&](int index) { return Position(markers.Strings(index)); };
  return BuildRecordReport(ContainerBytes(workflow), positions, recovery);
}

RecordReport ScanRecordReport(std::span<const std::uint8_t> data, int threads,
                              audio::Recovery recovery) {
  const RecordStarts starts = FindRecordStarts(data, threads);
  RecordPositions positions;
  positions.Magics = static_cast<int>(starts.Magics.size());
  positions.MagicAt = [&](int index) { return starts.Magics[static_cast<std::size_t>(index)]; };
  positions.Markers = static_cast<int>(starts.Markers.size());
  positions.MarkerAt = [&](int index) { return starts.Markers[static_cast<std::size_t>(index)]; };
  return BuildRecordReport(data, positions, recovery, threads);
}

std::span<const std::uint8_t> ContainerBytes(const ConverterWorkflow& workflow) {
  return workflow.HexEditorEx1.ViewBytes(0, workflow.HexEditorEx1.DataSize());
}

}  // namespace kestrave::app
