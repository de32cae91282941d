#pragma once

#include <optional>

#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

// The selected bytes Low..High and the end the selection grew from; all -1 when none is.
struct SelectionRange {
  int Anchor = -1;
  int Low = -1;
  int High = -1;
  bool Active() const { return Anchor >= 0; }
  int Count() const { return Active() ? High - Low + 1 : 0; }
  bool Contains(int position) const { return Active() && Low <= position && position <= High; }
  // The end away from the anchor.
  int End() const { return Anchor == High ? Low : High; }
  bool operator==(const SelectionRange&) const = default;
};

// Selections cover whole units: the first byte of a position's unit, and its last byte within
// data of Size bytes.
int AlignDown(int position, int unit);
int AlignUpToUnitEnd(int position, int unit, int size);

// Where the cursor stands on the grid, what is selected, and the rules by which a selection is
// made, kept and grown. Pure: the component repaints what these answers say has changed.
class CaretSelection {
 public:
  GridCell Cursor() const { return cursor_; }
  void SetCursor(GridCell cell) { cursor_ = cell; }
  // Keeps the cursor inside a grid that shrank.
  void ClampCursor(int rowCount, int colCount);

  const SelectionRange& Range() const { return range_; }
  // While on, cursor moves extend the selection.
  bool Extending() const { return extending_; }
  void SetExtending(bool value) { extending_ = value; }

  // Selects Anchor to End, both first taken into data of Size bytes, widened to whole units.
  // Answers the range before.
  SelectionRange Select(int anchor, int end, int size, int unit);
  // Puts back a range as it was kept, without alignment: nothing when it no longer fits data of
  // Size bytes (the caller then clears the selection), else the range before.
  std::optional<SelectionRange> Restore(int anchor, int low, int high, int size);
  // Nothing selected, and no extension under way. Answers the range before.
  SelectionRange Reset();

  // An anchor and an end to select.
  struct Span {
    int Anchor;
    int End;
  };
  // An extending move from OldPosition to NewPosition in data of Size bytes: the span to select.
  // The first move of an extension fixes its origin at OldPosition. In insert mode the cursor
  // stands between bytes, so the unit at the later end is left out, and a move back onto the origin
  // selects nothing: the answer is empty, and the caller clears the selection and calls
  // ContinueExtendingFrom.
  std::optional<Span> Extend(int oldPosition, int newPosition, int unit, int size, bool insertMode);
  // After an extension came back to its origin: nothing selected, extension goes on from there.
  void ContinueExtendingFrom(int origin);

 private:
  GridCell cursor_{GridGeometry::kFixedCols, GridGeometry::kFixedRows};
  SelectionRange range_;
  int extendOrigin_ = -1;
  bool extending_ = false;
};

}  // namespace kestrave::hex
