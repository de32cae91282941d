#pragma once

#include <string>
#include <vector>

#include "app/core/RecordReport.h"

namespace kestrave::app {

class JsonWriter;

// The report as text lines: a header, one line per record (number, start, end, size, codec,
// frames, duration, valid and trailing bytes, warning), columns aligned.
std::vector<std::string> RecordTableLines(const RecordReport& report);
// The seconds of a duration in milliseconds, as "12.340".
std::string Seconds(std::int64_t milliseconds);
// The report's records as a JSON array of objects.
void WriteRecordsJson(JsonWriter& json, const RecordReport& report);

}  // namespace kestrave::app
