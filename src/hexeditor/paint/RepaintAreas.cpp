#include "hexeditor/paint/RepaintAreas.h"

#include <algorithm>

#include "hexeditor/CustomHexEditor.h"

namespace kestrave::hex {

GridCell RepaintAreas::CellOf(const BytePlace& place) const {
  GridCell cell = editor_.PositionToCell(place.Position, place.InCharField);
  if (!place.InCharField && place.SecondDigit) ++cell.Col;
  return cell;
}

void RepaintAreas::AddRowsOf(RepaintArea& area, std::int64_t low, std::int64_t high) const {
  if (low < 0) return;
  const GridGeometry geometry = editor_.Geometry();
  area.Rows.push_back({geometry.RowOfPosition(low), geometry.RowOfPosition(high)});
}

RepaintArea RepaintAreas::OfBytes(std::int64_t first, std::int64_t last) const {
  RepaintArea area;
  if (first != last) {
    AddRowsOf(area, first, last);
    return area;
  }
  const GridCell hex = editor_.PositionToCell(first, false);
  area.Cells = {hex, {hex.Col + 1, hex.Row}, editor_.PositionToCell(first, true)};
  return area;
}

RepaintArea RepaintAreas::OfSelectionChange(const SelectionRange& old,
                                            const SelectionRange& now) const {
  RepaintArea area;
  if (old.Active() && now.Active()) {
    AddRowsOf(area, std::min(old.Low, now.Low), std::max(old.Low, now.Low));
    AddRowsOf(area, std::min(old.High, now.High), std::max(old.High, now.High));
  } else if (now.Active()) {
    AddRowsOf(area, now.Low, now.High);
  } else if (old.Active()) {
    AddRowsOf(area, old.Low, old.High);
  }
  return area;
}

void RepaintAreas::AddRulerMarks(RepaintArea& area, int col) const {
  if (!editor_.ShowRuler() || col < GridGeometry::kFirstDataCol) return;
  area.Cells.push_back({col, 0});
  area.Cells.push_back({editor_.OtherFieldColumn(col), 0});
}

RepaintArea RepaintAreas::OfCaretMove(const BytePlace& old, const BytePlace& now) const {
  RepaintArea area;
  const GridCell from = CellOf(old);
  const GridCell to = CellOf(now);
  area.Cells = {from, to};
  if (from.Row != to.Row) {
    area.Cells.push_back({0, from.Row});
    area.Cells.push_back({0, to.Row});
  }
  if (from.Col != to.Col) {
    AddRulerMarks(area, from.Col);
    AddRulerMarks(area, to.Col);
  }
  return area;
}

RepaintArea RepaintAreas::OfDropMarkerMove(const BytePlace& old, const BytePlace& now) const {
  RepaintArea area;
  if (old.Somewhere()) area.Cells.push_back(CellOf(old));
  if (now.Somewhere()) area.Cells.push_back(CellOf(now));
  return area;
}

}  // namespace kestrave::hex
