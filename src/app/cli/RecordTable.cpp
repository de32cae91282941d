#include "app/cli/RecordTable.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/cli/Json.h"

namespace kestrave::app {
namespace {

constexpr std::size_t kColumns = 14;
using Row = std::array<std::string, kColumns>;
// Left-aligned columns: the codec and the warning.
constexpr std::size_t kCodecColumn = 4;

Row Cells(const RecordRow& record) {
  const audio::AmrStreamInfo& s = record.Stream;
  return {std::to_string(record.Number),
          std::to_string(record.Start),
          std::to_string(record.End),
          std::to_string(record.Size()),
          std::string(audio::CodecName(s.Codec)),
          std::to_string(s.Frames),
          std::to_string(s.RecoveredFrames),
          Seconds(s.DurationMilliseconds()),
          std::to_string(s.ValidBytes),
          std::to_string(s.Gaps),
          std::to_string(s.GapBytes),
          s.Gaps > 0 ? std::to_string(record.Start + s.FirstGapOffset) : "-",
          std::to_string(s.TrailingBytes),
          record.Warning()};
}

}  // namespace

std::string Seconds(std::int64_t milliseconds) {
  std::string fraction = std::to_string(milliseconds % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(milliseconds / 1000) + '.' + fraction;
}

// The widths come from every row first, so the rows are made twice rather than kept.
void WriteRecordTable(const RecordReport& report, const std::string& prefix,
                      const TextPieces& put) {
  const Row header{"record",  "start", "end",  "size",    "codec",     "frames",   "recovered",
                   "seconds", "valid", "gaps", "skipped", "first gap", "trailing", "warning"};
  std::array<std::size_t, kColumns> widths{};
  const auto widen = [&](const Row& row) {
    for (std::size_t i = 0; i < kColumns; ++i)
      widths[i] = std::max(widths[i], row[i].size());
  };
  widen(header);
  for (int i = 0; i < report.Count(); ++i)
    widen(Cells(report.Row(i)));
  constexpr std::size_t kPiece = 1 << 16;
  std::string text;
  const auto add = [&](const Row& row) {
    const std::size_t lineStart = text.size();
    text += prefix;
    // Numbers are right-aligned, the codec and the warning left-aligned; the last column has no
    // padding after it.
    for (std::size_t i = 0; i < kColumns; ++i) {
      const std::size_t pad = widths[i] - row[i].size();
      const bool left = i == kCodecColumn || i == kColumns - 1;
      if (i > 0) text += "  ";
      if (!left) text.append(pad, ' ');
      text += row[i];
      if (left && i != kColumns - 1) text.append(pad, ' ');
    }
    while (text.size() > lineStart + prefix.size() && text.back() == ' ')
      text.pop_back();
    text += '\n';
    if (text.size() >= kPiece) {
      put(text);
      text.clear();
    }
  };
  add(header);
  for (int i = 0; i < report.Count(); ++i)
    add(Cells(report.Row(i)));
  if (!text.empty()) put(text);
}

void WriteRecordsJson(JsonWriter& json, const RecordReport& report) {
  json.BeginArray();
  for (int i = 0; i < report.Count(); ++i) {
    const RecordRow record = report.Row(i);
    const audio::AmrStreamInfo& s = record.Stream;
    json.BeginObject()
        .Key("number")
        .Number(record.Number)
        .Key("start")
        .Number(record.Start)
        .Key("end")
        .Number(record.End)
        .Key("size")
        .Number(record.Size())
        .Key("codec");
    if (s.Codec == audio::AmrCodec::Unknown) {
      json.Null();
    } else {
      json.String(audio::CodecName(s.Codec));
    }
    json.Key("frames")
        .Number(s.Frames)
        .Key("recoveredFrames")
        .Number(s.RecoveredFrames)
        .Key("durationMs")
        .Number(s.DurationMilliseconds())
        .Key("validBytes")
        .Number(s.ValidBytes)
        .Key("gaps")
        .Number(s.Gaps)
        .Key("gapBytes")
        .Number(s.GapBytes)
        .Key("gapFrames")
        .Number(s.GapFrames())
        .Key("firstGap");
    if (s.Gaps > 0) {
      json.BeginObject()
          .Key("at")
          .Number(record.Start + s.FirstGapOffset)
          .Key("cause")
          .String(audio::StreamEndText(s.FirstGapCause))
          .EndObject();
    } else {
      json.Null();
    }
    json.Key("trailingBytes")
        .Number(s.TrailingBytes)
        .Key("streamEnd")
        .String(audio::StreamEndText(s.End))
        .Key("headerRepaired")
        .Bool(s.HeaderRepaired)
        .Key("framesPastDamage")
        .Number(record.FramesPastDamage)
        .Key("writtenByWindow")
        .Bool(record.WrittenByWindow)
        .Key("warning")
        .StringOrNull(record.Warning())
        .EndObject();
  }
  json.EndArray();
}

}  // namespace kestrave::app
