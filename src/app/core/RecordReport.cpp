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
  if (Stream.End == StreamEnd::WrongMagic) {
    warning = "no AMR storage header";
  } else if (Stream.Frames == 0) {
    warning = "no complete frame";
  }
  if (Stream.End != StreamEnd::EndOfRecord && Stream.End != StreamEnd::WrongMagic) {
    if (!warning.empty()) warning += "; ";
    warning += Plural(Stream.TrailingBytes, "byte", "bytes") + " after the stream (" +
               std::string(audio::StreamEndText(Stream.End)) + ')';
  }
  if (!WrittenByWindow) {
    if (!warning.empty()) warning += "; ";
    warning += "not written by the window";
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

RecordReport BuildRecordReport(const ConverterWorkflow& workflow) {
  RecordReport report;
  const auto& magics = workflow.ListBox1.Lines();
  report.Magics = static_cast<int>(magics.size());
  report.Markers = workflow.ListBox2.Count();
  const int written = report.WindowWrites();
  const hex::THexEditorEx& data = workflow.HexEditorEx1;
  std::vector<std::span<const std::uint8_t>> bytes;
  for (std::size_t i = 0; i < magics.size(); ++i) {
    RecordRow row;
    row.Number = static_cast<int>(i) + 1;
    row.Start = Position(magics[i]);
    row.End = i + 1 < magics.size() ? Position(magics[i + 1]) - 1 : data.DataSize() - 1;
    row.WrittenByWindow = row.Number <= written;
    bytes.push_back(data.ViewBytes(static_cast<int>(row.Start), static_cast<int>(row.Size())));
    report.Records.push_back(row);
  }
  // A gigabyte holds tens of millions of frames: every core walks its share.
  const auto threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::vector<audio::AmrStreamInfo> streams = audio::ReadAmrStreams(bytes, threads);
  for (std::size_t i = 0; i < streams.size(); ++i)
    report.Records[i].Stream = streams[i];
  return report;
}

std::span<const std::uint8_t> RecordBytes(const ConverterWorkflow& workflow, const RecordRow& row) {
  return workflow.HexEditorEx1.ViewBytes(static_cast<int>(row.Start),
                                         static_cast<int>(row.Stream.ValidBytes));
}

}  // namespace kestrave::app
