#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/ContainerStream.h"
#include "app/core/RecordFiles.h"
#include "app/core/RecordReport.h"

namespace kestrave::app {

// The records of a container read from its file: their report, and their streams trimmed or
// decoded, with no more of the container held than a window per thread.

// What is held of a record at a time: smaller records are read whole, a few together with one
// call, a larger one a window at a time.
inline constexpr std::int64_t kRecordWindow = std::int64_t{4} << 20;

// The report BuildRecordReport makes of the container held whole, the records' streams walked on
// Threads threads, Window bytes (at least 1 KiB) held by each.
RecordReport StreamRecordReport(const ContainerStream& container, const RecordStarts& starts,
                                audio::Recovery recovery,
                                int threads = ContainerStream::DefaultThreads(),
                                std::int64_t window = kRecordWindow);

// Every record of the container with an AMR stream, trimmed or as WAV (kestrave-cli extract
// --trim, --wav); a base without a name, and names that stand for the container, are refused
// first. Answers the files written.
std::vector<std::string> StreamAudio(const ContainerStream& container, const RecordReport& report,
                                     const std::string& base, RecordForm form,
                                     const RecordWriteEvents& events = {},
                                     std::int64_t window = kRecordWindow);

}  // namespace kestrave::app
