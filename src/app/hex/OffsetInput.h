#pragma once

#include <cstdint>
#include <string>

namespace kestrave::app {

// Why a typed text names no offset to go to; the window words it in the user's language.
enum class OffsetProblem { None, NoData, Empty, NotAPercentage, NotAnOffset, OutsideTheData };

// Where "Go to Offset" goes: a byte offset, or why the typed text names none.
struct OffsetTarget {
  std::int64_t Offset = -1;
  OffsetProblem Problem = OffsetProblem::None;
  bool Valid() const { return Problem == OffsetProblem::None; }
};

// Reads what the user typed: "1234" (decimal), "0x4D2" (hex), "+16" / "-0x10" (from Current),
// "50%" / "12.5%" (of the data). Spaces around are ignored. The answer lies in 0 .. Size - 1;
// an offset outside says how far the data goes.
OffsetTarget ParseOffsetTarget(const std::string& text, std::int64_t current, std::int64_t size);

}  // namespace kestrave::app
