// Grid layout: row and column counts, column widths, the layout values they follow, the ruler
// texts, the offset gutter and the bookmark images.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/text/Conversions.h"
#include "platform/Format.h"

namespace kestrave::hex {
namespace {

bool IsUnitSize(int value) {
  return value == 1 || value == 2 || value == 4 || value == 8;
}

// Whether grid column Col (counted from the first nibble column at 2) holds the low nibble of
// the last byte of a group of Bytes bytes. A group may be as long as an int counts (a block of
// 2147483647 bytes is a valid setting), so its nibbles are counted in 64 bits.
bool EndsByteGroup(int col, int bytes) {
  return col % (std::int64_t{2} * bytes) == 1;
}

}  // namespace

void TCustomHexEditor::InvalidateView() {
  if (host_) host_->InvalidateAll();
}

void TCustomHexEditor::AdjustMetrics() {
  if (document_.Marks().Size() > DataSize()) document_.Marks().SetSize(DataSize());
  const GridGeometry geometry = Geometry();
  rowCount_ =
      GridGeometry::DataRowCount(DataSize(), bytesPerRow_, InsertMode()) + GridGeometry::kFixedRows;
  colCount_ = geometry.ColumnCount();
  // A grid keeps its current cell inside its rows and columns.
  caret_.ClampCursor(rowCount_, colCount_);
  RecalcLayout();
}

void TCustomHexEditor::RecalcLayout() {
  cw_ = metrics_->TextWidth(font_, "w");
  rh_ = metrics_->TextHeight(font_, "yY") + 2;
  colWidths_.assign(static_cast<std::size_t>(colCount_), cw_);
  SizeGutter();
  colWidths_[1] = 6;
  const GridGeometry geometry = Geometry();
  const int nibbles = geometry.NibbleColumns();
  for (int i = 0; i <= nibbles; ++i) {
    int width = cw_;
    if (i == nibbles - 1) {
      width = 2 * cw_;
    } else if (i < nibbles) {
      if (EndsByteGroup(i + 2, bytesPerColumn_)) width += cw_;
      if (bytesPerBlock_ > 1 && EndsByteGroup(i + 2, bytesPerBlock_)) width += cw_;
    }
    colWidths_[static_cast<std::size_t>(GridGeometry::kFixedCols + i)] = width;
  }
  const int unit = RulerUnit();
  const int chars = geometry.CharColumns();
  for (int j = 0; j < chars; ++j) {
    int width = cw_ + 1;
    if (!unicodeChars_ && unit > 1 && j % unit == unit - 1) width = (3 * cw_) / 2 + 1;
    if (bytesPerBlock_ > 1 && separateBlocksInCharField_) {
      const int block = unicodeChars_ ? bytesPerBlock_ / 2 : bytesPerBlock_;
      if (block > 0 && j % block == block - 1) width += cw_;
    }
    colWidths_[static_cast<std::size_t>(geometry.FirstCharColumn() + j)] = width;
  }
  colWidths_.back() = 2 * cw_ + 1;
  rowHeights_[0] = showRuler_ ? rh_ + 3 : 0;
  rowHeights_[1] = 0;
  LayoutChanged();
  PlaceCaret();
}

// --- Offsets --------------------------------------------------------------------------------

OffsetUnits TCustomHexEditor::CurrentOffsetUnits() const {
  return {bytesPerRow_, bytesPerColumn_, RulerUnit()};
}

// Calls the application's offset text once, never from inside itself.
bool TCustomHexEditor::CallOffsetEvent(std::int64_t number, bool measuring, std::string& text) {
  if (!OnGetOffsetText || offsetEventRunning_) return false;
  struct Guard {
    bool& running;
    ~Guard() { running = false; }
  } guard{offsetEventRunning_};
  offsetEventRunning_ = true;
  measuringOffsetWidth_ = measuring;
  text.clear();
  OnGetOffsetText(*this, number, text);
  return true;
}

std::string TCustomHexEditor::GetOffsetText(std::uint32_t offset) {
  std::string text;
  if (CallOffsetEvent(offset, false, text)) return text;
  return RenderOffset(offsetFormat_, offset, hexLowerCase_);
}

std::string TCustomHexEditor::GetOffsetTextOrHex(std::uint32_t offset) {
  if (!offsetFormat_.Text.empty()) return GetOffsetText(offset);
  return FormatInRadix(offset, 16, 0);
}

// Wide enough for the widest offset, that of the last row, and a margin.
void TCustomHexEditor::SizeGutter() {
  const std::int64_t dataRows = GridGeometry::DataRowCount(DataSize(), bytesPerRow_, InsertMode());
  const std::int64_t last = (dataRows - 1) * bytesPerRow_;
  std::string text;
  if (CallOffsetEvent(last, true, text)) {
    gutterChars_ = static_cast<int>(text.size()) + 1;
  } else {
    const auto lastOffset = static_cast<std::uint32_t>(last);
    if (offsetFormat_.Has(TOffsetFormat::kAutoWidth))
      offsetFormat_.MinDigits = AutomaticDigits(offsetFormat_, lastOffset);
    gutterChars_ = static_cast<int>(GetOffsetText(lastOffset).size()) + 1;
  }
  if (colWidths_.empty()) return;
  // A width beyond any screen would overflow the sums of column widths; a negative one has no
  // meaning. The property keeps the value it was given.
  constexpr int kWidestGutter = 1 << 16;
  colWidths_[0] =
      gutterWidth_ == -1 ? gutterChars_ * cw_ + 21 : std::clamp(gutterWidth_, 0, kWidestGutter);
}

void TCustomHexEditor::SetOffsetFormat(const std::string& value) {
  if (value == offsetFormat_.Text) return;
  const TOffsetFormat previous = offsetFormat_;
  const std::vector<int> previousWidths = colWidths_;
  try {
    ParseOffsetFormat(offsetFormat_, value, CurrentOffsetUnits());
    SizeGutter();
  } catch (...) {
    offsetFormat_ = previous;
    colWidths_ = previousWidths;
    throw;
  }
  LayoutChanged();
}

void TCustomHexEditor::SetHexLowerCase(bool value) {
  if (value == hexLowerCase_) return;
  hexLowerCase_ = value;
  RebuildRulerTexts();
  InvalidateView();
}

void TCustomHexEditor::SetGutterWidth(int value) {
  gutterWidth_ = value;
  SizeGutter();
  LayoutChanged();
}

void TCustomHexEditor::FollowRulerUnitInOffsets() {
  if (offsetFormat_.Has(TOffsetFormat::kUnitRuler)) offsetFormat_.UnitSize = RulerUnit();
}

// --- Layout setters -------------------------------------------------------------------------

void TCustomHexEditor::RebuildRulerTexts() {
  rulerTexts_ =
      MakeRulerTexts(bytesPerRow_, RulerUnit(), rulerNumberBase_, unicodeChars_, hexLowerCase_);
}

void TCustomHexEditor::SetBytesPerRow(int value) {
  if (value < 1 || value > 256 || (unicodeChars_ && value % 2 != 0))
    throw EHexEditor(msg::kInvalidBytesPerLine);
  if (value == bytesPerRow_) return;
  if (offsetFormat_.Has(TOffsetFormat::kUnitRow)) offsetFormat_.UnitSize = value;
  const int anchor = caret_.Range().Anchor;
  const int low = caret_.Range().Low;
  const int high = caret_.Range().High;
  const bool inChar = CaretInCharColumn();
  const bool lowNibble = CaretOnSecondDigit();
  const int position =
      static_cast<int>(std::min<std::int64_t>(CellToPosition(CursorCell()), DataSize() - 1));
  bytesPerRow_ = value;
  RebuildRulerTexts();
  AdjustMetrics();
  GridCell cell = PositionToCell(position, inChar);
  if (lowNibble && DataSize() > 0) ++cell.Col;
  FocusCell(cell, false);
  if (anchor >= 0) SetSelectionFields(anchor, low, high);
}

void TCustomHexEditor::SetBytesPerColumn(int value) {
  if (value < 1 || value > 256 || (unicodeChars_ && value % 2 != 0))
    throw EHexEditor(msg::kInvalidBytesPerColumn);
  if (value == bytesPerColumn_) return;
  if (offsetFormat_.Has(TOffsetFormat::kUnitColumn)) offsetFormat_.UnitSize = value;
  bytesPerColumn_ = value;
  RecalcLayout();
  RebuildRulerTexts();
  InvalidateView();
}

void TCustomHexEditor::SetBytesPerUnit(int value) {
  if (value == bytesPerUnit_) return;
  if (unicodeChars_ && value != 2) throw EHexEditor(msg::kUnitInUnicodeMode);
  if (!IsUnitSize(value))
    throw EHexEditor(platform::FormatMessage(msg::kInvalidUnit, {std::int64_t{value}}));
  bytesPerUnit_ = value;
  FollowRulerUnitInOffsets();
  RecalcLayout();
  RebuildRulerTexts();
  if (SelectionCount() % bytesPerUnit_ != 0) ResetSelection(false);
  InvalidateView();
}

void TCustomHexEditor::SetRulerBytesPerUnit(int value) {
  if (value == rulerBytesPerUnit_) return;
  if (value != -1 && !IsUnitSize(value))
    throw EHexEditor(platform::FormatMessage(msg::kInvalidRulerUnit, {std::int64_t{value}}));
  rulerBytesPerUnit_ = value;
  FollowRulerUnitInOffsets();
  RecalcLayout();
  RebuildRulerTexts();
  InvalidateView();
}

void TCustomHexEditor::SetBytesPerBlock(int value) {
  if (value == bytesPerBlock_) return;
  bytesPerBlock_ = value;
  RecalcLayout();
}

void TCustomHexEditor::SetSeparateBlocksInCharField(bool value) {
  if (value == separateBlocksInCharField_) return;
  separateBlocksInCharField_ = value;
  if (value && bytesPerBlock_ > 1) RecalcLayout();
}

void TCustomHexEditor::SetShowRuler(bool value) {
  if (value == showRuler_) return;
  showRuler_ = value;
  RecalcLayout();
}

void TCustomHexEditor::SetRulerNumberBase(std::uint8_t value) {
  if (value == rulerNumberBase_) return;
  rulerNumberBase_ = value >= 2 && value <= 16 ? value : 16;
  RebuildRulerTexts();
  if (showRuler_) InvalidateView();
}

// Unicode mode shows two bytes as one character, so rows, columns and data must be even, and
// no translation applies.
void TCustomHexEditor::SetUnicodeChars(bool value) {
  if (value == unicodeChars_) return;
  if (value) {
    if (bytesPerRow_ % 2 != 0) throw EHexEditor(msg::kInvalidBytesPerLine);
    if (bytesPerColumn_ % 2 != 0) throw EHexEditor(msg::kInvalidBytesPerColumn);
    if (DataSize() % 2 != 0) throw EHexEditor(msg::kOddSizedUnicode);
    translation_ = tkAsIs;
  }
  unicodeChars_ = value;
  colCount_ = Geometry().ColumnCount();
  SetBytesPerUnit(value ? 2 : 1);
  AdjustMetrics();
  RebuildRulerTexts();
  InvalidateView();
}

void TCustomHexEditor::SetUnicodeBigEndian(bool value) {
  if (value == unicodeBigEndian_) return;
  unicodeBigEndian_ = value;
  if (unicodeChars_) InvalidateView();
}

void TCustomHexEditor::SetSwapNibbles(bool value) {
  if (value == swapNibbles_) return;
  swapNibbles_ = value;
  InvalidateView();
}

void TCustomHexEditor::SetFont(const platform::FontSpec& font) {
  if (font == font_) return;
  if (font.Height < 1 || font.Height > kLargestFontHeight)
    throw EHexEditor(platform::FormatMessage(msg::kInvalidFontHeight, {std::int64_t{font.Height}}));
  font_ = font;
  RecalcLayout();
  if (host_) host_->FontChanged();
  InvalidateView();
}

void TCustomHexEditor::SetBookmarkBitmap(const THexBitmap& bitmap) {
  const bool reload = bitmap.Pixels.empty();
  if (!reload && (bitmap.Width != kBookmarkIconSize * kBookmarkIconCount ||
                  bitmap.Height != kBookmarkIconSize ||
                  bitmap.Pixels.size() != static_cast<std::size_t>(bitmap.Width) * bitmap.Height))
    throw EHexEditor(msg::kInvalidBookmarkBitmap);
  bookmarkBitmap_ = reload ? DefaultBookmarkIcons() : bitmap;
  customBookmarkBitmap_ = !reload;
  bookmarkImages_ = CutBookmarkImages(bookmarkBitmap_);
  if (host_) host_->InvalidateRows(GridGeometry::kFixedRows, rowCount_ - 1);
}

}  // namespace kestrave::hex
