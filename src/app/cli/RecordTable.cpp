#include "app/cli/RecordTable.h"

#include <algorithm>
#include <array>

#include "app/cli/Json.h"

namespace kestrave::app {
namespace {

constexpr std::size_t kColumns = 10;
using Row = std::array<std::string, kColumns>;

Row Cells(const RecordRow& record) {
  const audio::AmrStreamInfo& s = record.Stream;
  return {std::to_string(record.Number),
          std::to_string(record.Start),
          std::to_string(record.End),
          std::to_string(record.Size()),
          std::string(audio::CodecName(s.Codec)),
          std::to_string(s.Frames),
          Seconds(s.DurationMilliseconds()),
          std::to_string(s.ValidBytes),
          std::to_string(s.TrailingBytes),
          record.Warning()};
}

}  // namespace

std::string Seconds(std::int64_t milliseconds) {
  std::string fraction = std::to_string(milliseconds % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(milliseconds / 1000) + '.' + fraction;
}

std::vector<std::string> RecordTableLines(const RecordReport& report) {
  std::vector<Row> rows{{"record", "start", "end", "size", "codec", "frames", "seconds", "valid",
                         "trailing", "warning"}};
  for (const RecordRow& record : report.Records)
    rows.push_back(Cells(record));
  std::array<std::size_t, kColumns> widths{};
  for (const Row& row : rows)
    for (std::size_t i = 0; i < kColumns; ++i)
      widths[i] = std::max(widths[i], row[i].size());
  std::vector<std::string> lines;
  for (const Row& row : rows) {
    std::string line;
    // Numbers are right-aligned, the codec and the warning left-aligned; the last column has no
    // padding after it.
    for (std::size_t i = 0; i < kColumns; ++i) {
      const std::size_t pad = widths[i] - row[i].size();
      const bool left = i == 4 || i == kColumns - 1;
      if (i > 0) line += "  ";
      if (!left) line.append(pad, ' ');
      line += row[i];
      if (left && i != kColumns - 1) line.append(pad, ' ');
    }
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

void WriteRecordsJson(JsonWriter& json, const RecordReport& report) {
  json.BeginArray();
  for (const RecordRow& record : report.Records) {
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
        .Key("durationMs")
        .Number(s.DurationMilliseconds())
        .Key("validBytes")
        .Number(s.ValidBytes)
        .Key("trailingBytes")
        .Number(s.TrailingBytes)
        .Key("streamEnd")
        .String(audio::StreamEndText(s.End))
        .Key("writtenByWindow")
        .Bool(record.WrittenByWindow)
        .Key("warning")
        .StringOrNull(record.Warning())
        .EndObject();
  }
  json.EndArray();
}

}  // namespace kestrave::app
