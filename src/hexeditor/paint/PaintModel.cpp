#include "hexeditor/paint/PaintModel.h"

#include <algorithm>

#include "platform/CodePages.h"

namespace kestrave::hex {

namespace {

std::u16string AnsiChar(std::uint8_t ch) {
  return std::u16string(1, platform::AnsiCodePage().ToUnicode(ch));
}

// The drop marker: a bar 2 pixels wide at the cell's left, 1 pixel in from its edges.
PaintRect DropMarkerBar(const PaintRect& cell) {
  return {cell.Left + 1, cell.Top + 1, cell.Left + 3, cell.Bottom - 1};
}

}  // namespace

TColor THexPaintModel::Color(THexColors::Index index) const {
  return editor_.ViewColor(index);
}

// --- Texts ------------------------------------------------------------------------------------

std::u16string THexPaintModel::ByteText(GridCell cell, int position) const {
  const GridGeometry geometry = editor_.Geometry();
  const std::uint8_t byte = editor_.ReadByte(position);
  if (!geometry.IsCharColumn(cell.Col)) {
    const bool high = GridGeometry::NibbleIndex(cell.Col) % 2 == (editor_.SwapNibbles() ? 1 : 0);
    return std::u16string(
        1, static_cast<char16_t>(editor_.HexDigits()[high ? byte >> 4 : byte & 0x0F]));
  }
  if (!editor_.UnicodeChars()) return AnsiChar(editor_.DataByteToChar(byte));
  const std::uint8_t next = position + 1 < editor_.DataSize() ? editor_.ReadByte(position + 1) : 0;
  const char16_t code = editor_.UnicodeBigEndian() ? static_cast<char16_t>((byte << 8) | next)
                                                   : static_cast<char16_t>((next << 8) | byte);
  if (code < 0x100 && IsControlChar(static_cast<std::uint8_t>(code)))
    return AnsiChar(editor_.MaskChar());
  return std::u16string(1, code);
}

std::u16string THexPaintModel::RulerText(int col) const {
  const GridGeometry geometry = editor_.Geometry();
  if (col == geometry.GapColumn()) return u"  ";
  const std::string& text =
      geometry.IsCharColumn(col) ? editor_.CharRulerText() : editor_.HexRulerText();
  const int index = geometry.IsCharColumn(col) ? col - geometry.FirstCharColumn()
                                               : GridGeometry::NibbleIndex(col);
  // A ruler shorter than the row is blank over the rest.
  if (index < 0 || index >= static_cast<int>(text.size())) return u" ";
  return AnsiChar(static_cast<std::uint8_t>(text[static_cast<std::size_t>(index)]));
}

bool THexPaintModel::RulerHighlighted(int col) const {
  const int cursor = editor_.CursorCell().Col;
  return col == cursor || col == editor_.OtherFieldColumn(cursor);
}

// --- Data cells -------------------------------------------------------------------------------

TCellLook THexPaintModel::DataCellLook(GridCell cell) const {
  const GridGeometry geometry = editor_.Geometry();
  TCellLook look;
  const bool charColumn = geometry.IsCharColumn(cell.Col);
  const bool active = charColumn == editor_.CaretInCharColumn();
  const bool fieldEnd =
      cell.Col == geometry.LastNibbleColumn() || cell.Col == editor_.ColCount() - 1;
  look.CellBackground =
      Color(active && !fieldEnd ? THexColors::ActiveFieldBackground : THexColors::Background);
  look.Position = GridGeometry::AsIntPosition(editor_.CellToPosition(cell));
  const int p = look.Position;
  if (p >= editor_.DataSize()) return look;
  look.Text = ByteText(cell, p);
  look.Changed =
      editor_.IsChanged(p) || (editor_.UnicodeChars() && charColumn && editor_.IsChanged(p + 1));
  if (look.Changed) {
    look.TextColor = Color(THexColors::ChangedText);
    look.TextBackground = Color(THexColors::ChangedBackground);
  } else {
    look.TextBackground =
        Color(active ? THexColors::ActiveFieldBackground : THexColors::Background);
    if (charColumn) {
      look.TextColor = editor_.Resolved(clWindowText);
    } else {
      const bool odd =
          (GridGeometry::NibbleIndex(cell.Col) / (2 * editor_.BytesPerColumn())) % 2 == 0;
      look.TextColor = Color(odd ? THexColors::OddColumn : THexColors::EvenColumn);
    }
  }
  if (editor_.IsSelected(p) && (!editor_.HideSelection() || editor_.Focused())) {
    look.Selected = true;
    look.TextBackground = InvertColor(look.TextBackground);
    look.TextColor = InvertColor(look.TextColor);
    // The gaps inside a selection are filled; the one after its last byte is not.
    if (!fieldEnd && p != editor_.SelectionHigh())
      look.CellBackground = InvertColor(look.CellBackground);
    if (editor_.GraySelectionIfNotFocused() && !editor_.Focused()) {
      look.TextBackground = GrayOf(look.TextBackground);
      look.TextColor = GrayOf(look.TextColor);
    }
  }
  return look;
}

TFrame THexPaintModel::PositionFrame(GridCell cell, const PaintRect& rect) const {
  TFrame frame;
  const GridCell cursor = editor_.CursorCell();
  if (cell.Row != cursor.Row) return frame;
  const GridGeometry geometry = editor_.Geometry();
  const int cw = editor_.CharWidth();
  const bool cursorInChar = geometry.IsCharColumn(cursor.Col);
  if (editor_.Focused()) {
    if (geometry.IsCharColumn(cell.Col)) {
      if (!cursorInChar && cell.Col == editor_.OtherFieldColumn(cursor.Col))
        frame.Rect = {rect.Left, rect.Top, rect.Left + cw, rect.Bottom - 1};
    } else if (cursorInChar) {
      const int first = editor_.OtherFieldColumn(cursor.Col);
      const int last = first + (editor_.UnicodeChars() ? 3 : 1);
      if (cell.Col == last) {
        const PaintRect start = editor_.CellRect({first, cell.Row});
        frame.Rect = {start.Empty() ? rect.Left : start.Left, rect.Top, rect.Left + cw,
                      rect.Bottom - 1};
      }
    }
  } else if (editor_.ShowPositionIfNotFocused() && cell.Col == cursor.Col) {
    frame.Rect = {rect.Left, rect.Top, rect.Left + cw, rect.Bottom - 1};
  }
  if (frame.Rect.Empty()) return frame;
  frame.Style = editor_.FocusFrame() ? TFrameStyle::Dotted : TFrameStyle::Solid;
  frame.Color =
      Color(editor_.Focused() ? THexColors::CursorFrame : THexColors::NonFocusCursorFrame);
  return frame;
}

// Gives the application its chance at the cell; answers whether the view still draws it.
bool THexPaintModel::Draw(IHexCanvas& canvas, GridCell cell, std::u16string& text,
                          const PaintRect& box) {
  bool defaultDraw = true;
  if (editor_.OnDrawCell)
    editor_.OnDrawCell(editor_, canvas, cell.Col, cell.Row, text, box, defaultDraw);
  return defaultDraw;
}

void THexPaintModel::PaintData(IHexCanvas& canvas, GridCell cell, const PaintRect& rect) {
  TCellLook look = DataCellLook(cell);
  const TCustomHexEditor::DrawnCellScope drawn(editor_, look.Position, look.Selected);
  const int cw = editor_.CharWidth();
  if (look.Position < editor_.DataSize()) {
    const PaintRect box{rect.Left, rect.Top, std::min(rect.Left + cw, rect.Right), rect.Bottom};
    if (Draw(canvas, cell, look.Text, box)) {
      canvas.FillRect(rect, look.CellBackground);
      canvas.DrawText(box, rect.Left, rect.Top, look.Text, look.TextColor, look.TextBackground);
    }
    if (editor_.DropMarkerCell() == cell) canvas.FillRect(DropMarkerBar(rect), look.TextColor);
  } else {
    canvas.FillRect(rect, look.CellBackground);
    // The end of the data, where a drop appends, shows the marker as well.
    if (editor_.DropMarkerCell() == cell)
      canvas.FillRect(DropMarkerBar(rect), editor_.Resolved(clWindowText));
  }
  const TFrame frame = PositionFrame(cell, rect);
  if (frame.Style == TFrameStyle::Dotted) canvas.DrawFocusRect(frame.Rect);
  if (frame.Style == TFrameStyle::Solid) canvas.DrawFrame(frame.Rect, frame.Color);
  if (editor_.DrawGridLines()) {
    const TColor grid = Color(THexColors::Grid);
    canvas.DrawLine(rect.Left, rect.Bottom - 1, rect.Right - 1, rect.Bottom - 1, grid);
    if (cell.Col == editor_.ColCount() - 1)
      canvas.DrawLine(rect.Right - 1, rect.Top, rect.Right - 1, rect.Bottom - 1, grid);
  }
}

// The column between the fields shows nothing but, with grid lines, its lines.
void THexPaintModel::PaintGap(IHexCanvas& canvas, const PaintRect& rect) {
  canvas.FillRect(rect, Color(THexColors::Background));
  if (!editor_.DrawGridLines()) return;
  const TColor grid = Color(THexColors::Grid);
  canvas.DrawLine(rect.Left, rect.Top, rect.Left, rect.Bottom - 1, grid);
  canvas.DrawLine(rect.Left, rect.Bottom - 1, rect.Right - 1, rect.Bottom - 1, grid);
}

// --- Fixed cells ------------------------------------------------------------------------------

void THexPaintModel::PaintCorner(IHexCanvas& canvas, GridCell, const PaintRect& rect) {
  canvas.FillRect(rect, Color(THexColors::OffsetBackGround));
}

void THexPaintModel::PaintRuler(IHexCanvas& canvas, int col, const PaintRect& rect) {
  const bool current = RulerHighlighted(col);
  const TColor back =
      Color(current ? THexColors::CurrentOffsetBackground : THexColors::OffsetBackGround);
  const TColor text = Color(current ? THexColors::CurrentOffset : THexColors::Offset);
  const PaintRect box{rect.Left, rect.Top, std::min(rect.Left + editor_.CharWidth(), rect.Right),
                      rect.Bottom};
  std::u16string character = RulerText(col);
  if (!Draw(canvas, {col, 0}, character, box)) return;
  canvas.FillRect(rect, Color(THexColors::OffsetBackGround));
  canvas.DrawText(box, rect.Left, rect.Top, character, text, back);
}

void THexPaintModel::PaintGutter(IHexCanvas& canvas, int row, const PaintRect& rect) {
  const bool current = row == editor_.CursorCell().Row;
  const TColor back =
      Color(current ? THexColors::CurrentOffsetBackground : THexColors::OffsetBackGround);
  const TColor color = Color(current ? THexColors::CurrentOffset : THexColors::Offset);
  const std::int64_t first = std::int64_t{GridGeometry::DataRow(row)} * editor_.BytesPerRow();
  const std::string offset = editor_.GetOffsetText(static_cast<std::uint32_t>(first));
  std::u16string text = platform::AnsiToUtf16(offset);
  if (Draw(canvas, {0, row}, text, rect)) {
    canvas.FillRect(rect, back);
    const int x = rect.Right - 4 - canvas.TextWidth(text);
    canvas.DrawText(rect, x, rect.Top, text, color, back);
  }
  const THexBookmarks& marks = editor_.Bookmarks();
  for (int k = 0; k < kBookmarkCount; ++k) {
    const THexBookmark& mark = marks[static_cast<std::size_t>(k)];
    if (mark.Position < 0 || mark.Position / editor_.BytesPerRow() != GridGeometry::DataRow(row))
      continue;
    const int image = mark.InCharField ? 10 + k : k;
    canvas.DrawImage(rect.Left + 3, rect.Top + (rect.Height() - kBookmarkIconSize) / 2,
                     editor_.BookmarkImages()[static_cast<std::size_t>(image)]);
  }
}

// --- The whole view ---------------------------------------------------------------------------

void THexPaintModel::PaintStrips(IHexCanvas& canvas, int right, int bottom) {
  const int width = editor_.ClientWidth();
  const int height = editor_.ClientHeight();
  const int fixedRows = editor_.FixedRowsHeight();
  const TColor view = Color(THexColors::Background);
  const TColor offsets = Color(THexColors::OffsetBackGround);
  if (right < width) {
    canvas.FillRect({right, 0, width, std::min(fixedRows, bottom)}, offsets);
    canvas.FillRect({right, fixedRows, width, bottom}, view);
  }
  if (bottom < height) {
    const int gutter = editor_.FixedColumnsWidth();
    canvas.FillRect({0, bottom, gutter, height}, offsets);
    canvas.FillRect({gutter, bottom, width, height}, view);
  }
}

void THexPaintModel::PaintEdges(IHexCanvas& canvas) {
  const int gutterRight = editor_.ColWidth(0);
  const int fixedRows = editor_.FixedRowsHeight();
  const int width = editor_.ClientWidth();
  const int height = editor_.ClientHeight();
  const TColor highlight = editor_.Resolved(clBtnHighlight);
  const TColor shadow = editor_.Resolved(clBtnShadow);
  if (gutterRight > 0) {
    if (editor_.DrawGutter3D()) {
      canvas.DrawLine(gutterRight - 1, fixedRows, gutterRight - 1, height - 1, highlight);
      canvas.DrawLine(gutterRight, fixedRows, gutterRight, height - 1, shadow);
    } else if (editor_.DrawGridLines()) {
      canvas.DrawLine(gutterRight - 1, fixedRows, gutterRight - 1, height - 1,
                      Color(THexColors::Grid));
    }
  }
  if (!editor_.ShowRuler()) return;
  const int x = std::max(gutterRight - 1, 0);
  if (editor_.DrawGutter3D()) {
    canvas.DrawLine(x, fixedRows - 1, width - 1, fixedRows - 1, shadow);
    canvas.DrawLine(x, fixedRows - 2, width - 1, fixedRows - 2, highlight);
  } else if (editor_.DrawGridLines()) {
    canvas.DrawLine(x, fixedRows - 1, width - 1, fixedRows - 1, Color(THexColors::Grid));
  }
}

void THexPaintModel::Paint(IHexCanvas& canvas, const PaintRect& clip) {
  if (editor_.PaintLocked()) return;
  const int gap = editor_.Geometry().GapColumn();
  const int lastCol = editor_.ColCount() - 1;
  // The visible columns: the two fixed ones, then from the first scrolled-in column.
  std::vector<int> columns = {0, 1};
  for (int col = editor_.LeftCol(); col <= lastCol; ++col) {
    if (editor_.CellRect({col, editor_.TopRow()}).Left >= editor_.ClientWidth()) break;
    columns.push_back(col);
  }
  int right = editor_.FixedColumnsWidth();
  for (std::size_t i = 2; i < columns.size(); ++i)
    right += editor_.ColWidth(columns[i]);
  const auto visit = [&](GridCell cell, auto&& paint) {
    const PaintRect rect = editor_.CellRect(cell);
    if (rect.Empty() || !rect.Intersects(clip)) return;
    paint(rect);
  };
  if (editor_.ShowRuler()) {
    for (const GridCell corner : {GridCell{0, 0}, GridCell{1, 0}})
      visit(corner, [&](const PaintRect& rect) { PaintCorner(canvas, corner, rect); });
    for (std::size_t i = 2; i < columns.size(); ++i)
      visit({columns[i], 0}, [&](const PaintRect& rect) { PaintRuler(canvas, columns[i], rect); });
  }
  int bottom = editor_.FixedRowsHeight();
  for (int row = editor_.TopRow(); row < editor_.RowCount() && bottom < editor_.ClientHeight();
       ++row) {
    visit({0, row}, [&](const PaintRect& rect) { PaintGutter(canvas, row, rect); });
    // The gap beside the gutter shows the view's own colour, and with grid lines its line.
    visit({1, row}, [&](const PaintRect& rect) {
      canvas.FillRect(rect, Color(THexColors::Background));
      if (editor_.DrawGridLines())
        canvas.DrawLine(rect.Left, rect.Bottom - 1, rect.Right - 1, rect.Bottom - 1,
                        Color(THexColors::Grid));
    });
    for (std::size_t i = 2; i < columns.size(); ++i) {
      const GridCell cell{columns[i], row};
      visit(cell, [&](const PaintRect& rect) {
        if (cell.Col == gap) {
          PaintGap(canvas, rect);
        } else {
          PaintData(canvas, cell, rect);
        }
      });
    }
    bottom += editor_.DefaultRowHeight();
  }
  PaintStrips(canvas, right, bottom);
  PaintEdges(canvas);
}

}  // namespace kestrave::hex
