#pragma once

#include <cstdint>
#include <functional>

#include "platform/Stream.h"

namespace kestrave::hex {

// Called with a percentage (0 to 100); answers true when the copy must stop.
using ProgressReport = std::function<bool(std::uint8_t percent)>;

// The piece size in which progress is reported and a copy can be cancelled.
inline constexpr std::int64_t kProgressChunk = 61440;

// The percentage of Done out of Count, to the nearest whole number, halves to even.
std::uint8_t ProgressPercent(std::int64_t done, std::int64_t count);

// Copies Count bytes (-1: the rest of the source) from the source's position to the destination's
// position. With a report, the copy runs in 61440-byte pieces and reports before a piece when the
// percentage changed, and always before the last piece with 100; a report answering true raises
// "Operation Cancelled". Without a report the copy may use larger pieces. A short read raises
// "Stream read error", a short write "Stream write error".
void CopyWithProgress(platform::TStream& source, platform::TStream& dest, std::int64_t count,
                      const ProgressReport& report);

}  // namespace kestrave::hex
