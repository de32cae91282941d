#include "hexeditor/caret/CaretSelection.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace kestrave::hex {

int AlignDown(int position, int unit) {
  return position - position % unit;
}

int AlignUpToUnitEnd(int position, int unit, int size) {
  const std::int64_t end = std::int64_t{AlignDown(position, unit)} + unit - 1;
  return static_cast<int>(std::min<std::int64_t>(end, size - 1));
}

void CaretSelection::ClampCursor(int rowCount, int colCount) {
  cursor_.Row = std::min(cursor_.Row, rowCount - 1);
  cursor_.Col = std::min(cursor_.Col, colCount - 1);
}

SelectionRange CaretSelection::Select(int anchor, int end, int size, int unit) {
  // A range outside the data cannot be selected.
  const int last = size - 1;
  anchor = std::clamp(anchor, 0, std::max(last, 0));
  end = std::clamp(end, 0, std::max(last, 0));
  const int low = AlignDown(std::min(anchor, end), unit);
  const int high = AlignUpToUnitEnd(std::max(anchor, end), unit, size);
  const int alignedAnchor = anchor <= end ? low : high;
  return std::exchange(range_, {std::clamp(alignedAnchor, -1, last), std::clamp(low, -1, last),
                                std::clamp(high, -1, last)});
}

std::optional<SelectionRange> CaretSelection::Restore(int anchor, int low, int high, int size) {
  const int last = size - 1;
  if (low < 0 || high < low || low > last) return std::nullopt;
  high = std::min(high, last);
  return std::exchange(range_, {std::clamp(anchor, low, high), low, high});
}

SelectionRange CaretSelection::Reset() {
  extending_ = false;
  extendOrigin_ = -1;
  return std::exchange(range_, {});
}

std::optional<CaretSelection::Span> CaretSelection::Extend(int oldPosition, int newPosition,
                                                           int unit, int size, bool insertMode) {
  if (extendOrigin_ == -1) extendOrigin_ = oldPosition;
  if (!insertMode) {
    // The origin takes the aligned value of its side, so the byte under the cursor stays in.
    extendOrigin_ = extendOrigin_ <= newPosition ? AlignDown(extendOrigin_, unit)
                                                 : AlignUpToUnitEnd(extendOrigin_, unit, size);
    return Span{extendOrigin_, newPosition};
  }
  extendOrigin_ = AlignDown(extendOrigin_, unit);
  const int target = AlignDown(newPosition, unit);
  if (extendOrigin_ == target) return std::nullopt;
  if (extendOrigin_ > target) return Span{extendOrigin_ - unit, target};
  return Span{extendOrigin_, target - unit};
}

void CaretSelection::ContinueExtendingFrom(int origin) {
  range_ = {};
  extendOrigin_ = origin;
  extending_ = true;
}

}  // namespace kestrave::hex
