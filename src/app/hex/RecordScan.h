#pragma once

#include <cstdint>
#include <span>

#include "app/core/RecordReport.h"

namespace kestrave::app {

// The records in the bytes a window shows, as `scan --records` reports a container's
// (ScanRecordReport), found on other threads while this one keeps the windows drawn
// (platform::KeepResponsive), which lets no key or click in before the answer is there: the
// bytes cannot change while they are read, and a gigabyte is not copied.
RecordReport ScanRecordsResponsively(std::span<const std::uint8_t> data);

}  // namespace kestrave::app
