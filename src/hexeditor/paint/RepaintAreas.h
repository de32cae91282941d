#pragma once

#include <cstdint>
#include <vector>

#include "hexeditor/paint/HexViewHost.h"

namespace kestrave::hex {

class TCustomHexEditor;

// Grid rows First to Last, both included.
struct RowSpan {
  int First = 0;
  int Last = 0;
  bool operator==(const RowSpan&) const = default;
};

// The cells and rows a notice asks a window to draw again.
struct RepaintArea {
  std::vector<GridCell> Cells;
  std::vector<RowSpan> Rows;
};

// The one place where the notices of IHexViewHost, in byte terms, become cells and rows of the
// editor's grid as it stands.
class RepaintAreas {
 public:
  explicit RepaintAreas(const TCustomHexEditor& editor) : editor_(editor) {}

  // One byte: its two digits and its character; more: their rows.
  RepaintArea OfBytes(std::int64_t first, std::int64_t last) const;
  // The rows between the ends that moved; all of a selection that came or went.
  RepaintArea OfSelectionChange(const SelectionRange& old, const SelectionRange& now) const;
  // Both cells; the offsets of both rows when the row changed, and the ruler's marks of both
  // columns when the column changed.
  RepaintArea OfCaretMove(const BytePlace& old, const BytePlace& now) const;
  // The cells the marker left and took.
  RepaintArea OfDropMarkerMove(const BytePlace& old, const BytePlace& now) const;
  // The cell that shows a place.
  GridCell CellOf(const BytePlace& place) const;

 private:
  void AddRowsOf(RepaintArea& area, std::int64_t low, std::int64_t high) const;
  void AddRulerMarks(RepaintArea& area, int col) const;

  const TCustomHexEditor& editor_;
};

}  // namespace kestrave::hex
