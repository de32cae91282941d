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

}  // namespace

void TCustomHexEditor::RepaintAll() {
  host_->ViewChanged();
}

int TCustomHexEditor::BeginUpdate() {
  return ++moment_.PaintLock;
}

int TCustomHexEditor::EndUpdate() {
  if (moment_.PaintLock > 0) --moment_.PaintLock;
  if (moment_.PaintLock == 0) RepaintAll();
  return moment_.PaintLock;
}

void TCustomHexEditor::AdjustMetrics() {
  if (document_.Marks().Size() > DataSize()) document_.Marks().SetSize(DataSize());
  layout_.Count(DataSize(), InsertMode());
  // A grid keeps its current cell inside its rows and columns.
  caret_.ClampCursor(layout_.RowCount(), layout_.ColCount());
  RecalcLayout();
}

void TCustomHexEditor::RecalcLayout() {
  layout_.Measure(platform_.Metrics->TextWidth(font_, "w"),
                  platform_.Metrics->TextHeight(font_, "yY") + 2);
  SizeGutter();
  LayoutChanged();
  PlaceCaret();
}

// --- Offsets --------------------------------------------------------------------------------

OffsetUnits TCustomHexEditor::CurrentOffsetUnits() const {
  return {layout_.BytesPerRow(), layout_.BytesPerColumn(), RulerUnit()};
}

// Calls the application's offset text once, never from inside itself.
bool TCustomHexEditor::CallOffsetEvent(std::int64_t number, bool measuring, std::string& text) {
  if (!OnGetOffsetText || gutter_.EventRunning) return false;
  struct Guard {
    bool& running;
    ~Guard() { running = false; }
  } guard{gutter_.EventRunning};
  gutter_.EventRunning = true;
  gutter_.Measuring = measuring;
  text.clear();
  OnGetOffsetText(*this, number, text);
  return true;
}

std::string TCustomHexEditor::GetOffsetText(std::uint32_t offset) {
  std::string text;
  if (CallOffsetEvent(offset, false, text)) return text;
  return RenderOffset(gutter_.Format, offset, gutter_.HexLowerCase);
}

std::string TCustomHexEditor::GetOffsetTextOrHex(std::uint32_t offset) {
  if (!gutter_.Format.Text.empty()) return GetOffsetText(offset);
  return FormatInRadix(offset, 16, 0);
}

// Wide enough for the widest offset, that of the last row, and a margin.
void TCustomHexEditor::SizeGutter() {
  const std::int64_t dataRows =
      GridGeometry::DataRowCount(DataSize(), layout_.BytesPerRow(), InsertMode());
  const std::int64_t last = (dataRows - 1) * layout_.BytesPerRow();
  std::string text;
  if (CallOffsetEvent(last, true, text)) {
    gutter_.Chars = static_cast<int>(text.size()) + 1;
  } else {
    const auto lastOffset = static_cast<std::uint32_t>(last);
    if (gutter_.Format.Has(TOffsetFormat::kAutoWidth))
      gutter_.Format.MinDigits = AutomaticDigits(gutter_.Format, lastOffset);
    gutter_.Chars = static_cast<int>(GetOffsetText(lastOffset).size()) + 1;
  }
  // A width beyond any screen would overflow the sums of column widths; a negative one has no
  // meaning. The property keeps the value it was given.
  constexpr int kWidestGutter = 1 << 16;
  layout_.SetGutterPixels(gutter_.Width == -1 ? gutter_.Chars * layout_.CharWidth() + 21
                                              : std::clamp(gutter_.Width, 0, kWidestGutter));
}

void TCustomHexEditor::SetOffsetFormat(const std::string& value) {
  if (value == gutter_.Format.Text) return;
  const TOffsetFormat previous = gutter_.Format;
  const int previousGutter = layout_.GutterPixels();
  try {
    ParseOffsetFormat(gutter_.Format, value, CurrentOffsetUnits());
    SizeGutter();
  } catch (...) {
    gutter_.Format = previous;
    layout_.SetGutterPixels(previousGutter);
    throw;
  }
  LayoutChanged();
}

void TCustomHexEditor::SetHexLowerCase(bool value) {
  if (value == gutter_.HexLowerCase) return;
  gutter_.HexLowerCase = value;
  RebuildRulerTexts();
  RepaintAll();
}

void TCustomHexEditor::SetGutterWidth(int value) {
  gutter_.Width = value;
  SizeGutter();
  LayoutChanged();
}

void TCustomHexEditor::FollowRulerUnitInOffsets() {
  if (gutter_.Format.Has(TOffsetFormat::kUnitRuler)) gutter_.Format.UnitSize = RulerUnit();
}

// --- Layout setters -------------------------------------------------------------------------

void TCustomHexEditor::RebuildRulerTexts() {
  layout_.RebuildRulerTexts(gutter_.HexLowerCase);
}

void TCustomHexEditor::SetBytesPerRow(int value) {
  if (value < 1 || value > 256 || (layout_.UnicodeChars() && value % 2 != 0))
    throw EHexEditor(msg::kInvalidBytesPerLine);
  if (value == layout_.BytesPerRow()) return;
  if (gutter_.Format.Has(TOffsetFormat::kUnitRow)) gutter_.Format.UnitSize = value;
  const int anchor = caret_.Range().Anchor;
  const int low = caret_.Range().Low;
  const int high = caret_.Range().High;
  const bool inChar = CaretInCharColumn();
  const bool lowNibble = CaretOnSecondDigit();
  const int position =
      static_cast<int>(std::min<std::int64_t>(CellToPosition(CursorCell()), DataSize() - 1));
  layout_.SetBytesPerRow(value);
  RebuildRulerTexts();
  AdjustMetrics();
  GridCell cell = PositionToCell(position, inChar);
  if (lowNibble && DataSize() > 0) ++cell.Col;
  FocusCell(cell, false);
  if (anchor >= 0) SetSelectionFields(anchor, low, high);
}

void TCustomHexEditor::SetBytesPerColumn(int value) {
  if (value < 1 || value > 256 || (layout_.UnicodeChars() && value % 2 != 0))
    throw EHexEditor(msg::kInvalidBytesPerColumn);
  if (value == layout_.BytesPerColumn()) return;
  if (gutter_.Format.Has(TOffsetFormat::kUnitColumn)) gutter_.Format.UnitSize = value;
  layout_.SetBytesPerColumn(value);
  RecalcLayout();
  RebuildRulerTexts();
  RepaintAll();
}

void TCustomHexEditor::SetBytesPerUnit(int value) {
  if (value == layout_.BytesPerUnit()) return;
  if (layout_.UnicodeChars() && value != 2) throw EHexEditor(msg::kUnitInUnicodeMode);
  if (!IsUnitSize(value))
    throw EHexEditor(platform::FormatMessage(msg::kInvalidUnit, {std::int64_t{value}}));
  layout_.SetBytesPerUnit(value);
  FollowRulerUnitInOffsets();
  RecalcLayout();
  RebuildRulerTexts();
  if (SelectionCount() % layout_.BytesPerUnit() != 0) ResetSelection(false);
  RepaintAll();
}

void TCustomHexEditor::SetRulerBytesPerUnit(int value) {
  if (value == layout_.RulerBytesPerUnit()) return;
  if (value != -1 && !IsUnitSize(value))
    throw EHexEditor(platform::FormatMessage(msg::kInvalidRulerUnit, {std::int64_t{value}}));
  layout_.SetRulerBytesPerUnit(value);
  FollowRulerUnitInOffsets();
  RecalcLayout();
  RebuildRulerTexts();
  RepaintAll();
}

void TCustomHexEditor::SetBytesPerBlock(int value) {
  if (value == layout_.BytesPerBlock()) return;
  layout_.SetBytesPerBlock(value);
  RecalcLayout();
}

void TCustomHexEditor::SetSeparateBlocksInCharField(bool value) {
  if (value == layout_.SeparateBlocksInCharField()) return;
  layout_.SetSeparateBlocksInCharField(value);
  if (value && layout_.BytesPerBlock() > 1) RecalcLayout();
}

void TCustomHexEditor::SetShowRuler(bool value) {
  if (value == layout_.ShowRuler()) return;
  layout_.SetShowRuler(value);
  RecalcLayout();
}

void TCustomHexEditor::SetRulerNumberBase(std::uint8_t value) {
  if (value == layout_.RulerNumberBase()) return;
  layout_.SetRulerNumberBase(value >= 2 && value <= 16 ? value : 16);
  RebuildRulerTexts();
  if (layout_.ShowRuler()) RepaintAll();
}

// Unicode mode shows two bytes as one character, so rows, columns and data must be even, and
// no translation applies.
void TCustomHexEditor::SetUnicodeChars(bool value) {
  if (value == layout_.UnicodeChars()) return;
  if (value) {
    if (layout_.BytesPerRow() % 2 != 0) throw EHexEditor(msg::kInvalidBytesPerLine);
    if (layout_.BytesPerColumn() % 2 != 0) throw EHexEditor(msg::kInvalidBytesPerColumn);
    if (DataSize() % 2 != 0) throw EHexEditor(msg::kOddSizedUnicode);
    look_.Translation = tkAsIs;
  }
  layout_.SetUnicodeChars(value);
  layout_.CountColumns();
  SetBytesPerUnit(value ? 2 : 1);
  AdjustMetrics();
  RebuildRulerTexts();
  RepaintAll();
}

void TCustomHexEditor::SetUnicodeBigEndian(bool value) {
  if (value == layout_.UnicodeBigEndian()) return;
  layout_.SetUnicodeBigEndian(value);
  if (layout_.UnicodeChars()) RepaintAll();
}

void TCustomHexEditor::SetSwapNibbles(bool value) {
  if (value == layout_.SwapNibbles()) return;
  layout_.SetSwapNibbles(value);
  RepaintAll();
}

void TCustomHexEditor::SetFont(const platform::FontDescription& font) {
  if (font == font_) return;
  if (font.Height < 1 || font.Height > kLargestFontHeight)
    throw EHexEditor(platform::FormatMessage(msg::kInvalidFontHeight, {std::int64_t{font.Height}}));
  font_ = font;
  RecalcLayout();
  host_->FontChanged();
  RepaintAll();
}

void TCustomHexEditor::SetBookmarkBitmap(const THexBitmap& bitmap) {
  const bool reload = bitmap.Pixels.empty();
  if (!reload && (bitmap.Width != kBookmarkIconSize * kBookmarkIconCount ||
                  bitmap.Height != kBookmarkIconSize ||
                  bitmap.Pixels.size() != static_cast<std::size_t>(bitmap.Width) * bitmap.Height))
    throw EHexEditor(msg::kInvalidBookmarkBitmap);
  bookmarkIcons_.Strip = reload ? DefaultBookmarkIcons() : bitmap;
  bookmarkIcons_.Custom = !reload;
  bookmarkIcons_.Images = CutBookmarkImages(bookmarkIcons_.Strip);
  RepaintAll();
}

}  // namespace kestrave::hex
