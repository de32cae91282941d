#pragma once

#include <functional>
#include <string>

#include "app/core/RecordReport.h"

namespace kestrave::app {

class JsonWriter;

// Takes the next piece of a long text.
using TextPieces = std::function<void(const std::string& piece)>;

// The report as text lines, each after Prefix: a header, one line per record (number, start,
// end, size, codec, frames and those recovered past damage, duration, valid bytes, gaps, their
// bytes and where the first starts, trailing bytes, warning), columns aligned. The
// lines go to Put a piece of many at a time: a million records need no more memory than a few.
void WriteRecordTable(const RecordReport& report, const std::string& prefix, const TextPieces& put);
// The seconds of a duration in milliseconds, as "12.340".
std::string Seconds(std::int64_t milliseconds);
// The report's records as a JSON array of objects.
void WriteRecordsJson(JsonWriter& json, const RecordReport& report);

}  // namespace kestrave::app
