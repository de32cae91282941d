#include "hexeditor/print/PrintLayout.h"

#include <algorithm>

#include "platform/CodePages.h"

namespace kestrave::hex {
namespace {

// The blanks between the gutter and the hex field, and between the two fields.
constexpr int kGutterGap = 2;
constexpr int kFieldGap = 2;

bool EndsGroup(int index, int size) {
  return size > 0 && index % size == size - 1;
}

char16_t AnsiChar(std::uint8_t ch) {
  return platform::AnsiCodePage().ToUnicode(ch);
}

TPrintLine BlankLine(int length) {
  return {std::u16string(static_cast<std::size_t>(length), u' '),
          std::vector<TPrintInk>(static_cast<std::size_t>(length), TPrintInk::Characters)};
}

void Put(TPrintLine& line, int at, char16_t ch, TPrintInk ink) {
  if (at < 0 || at >= static_cast<int>(line.Text.size())) return;
  line.Text[static_cast<std::size_t>(at)] = ch;
  line.Inks[static_cast<std::size_t>(at)] = ink;
}

TPrintRange RangeOf(THexEditorEx& editor, bool selectionOnly) {
  const int size = editor.DataSize();
  if (selectionOnly && editor.SelectionCount() > 0)
    return {editor.SelectionLow(), std::min(editor.SelectionHigh() + 1, size)};
  const THexPrintFlags flags = editor.PrintOptions().Flags();
  if (flags & PrintFlagBit(pfCurrentViewOnly)) {
    const std::int64_t first =
        std::int64_t{GridGeometry::DataRow(editor.TopRow())} * editor.BytesPerRow();
    const std::int64_t end = first + std::int64_t{editor.VisibleRowCount()} * editor.BytesPerRow();
    return {static_cast<int>(std::min<std::int64_t>(first, size)),
            static_cast<int>(std::min<std::int64_t>(end, size))};
  }
  return {0, size};
}

}  // namespace

THexPrintLayout::THexPrintLayout(THexEditorEx& editor, bool selectionOnly)
    : editor_(editor), range_(RangeOf(editor, selectionOnly)) {
  const int perRow = editor.BytesPerRow();
  const THexPrintFlags flags = editor.PrintOptions().Flags();
  boldSelection_ = (flags & PrintFlagBit(pfSelectionBold)) && editor.SelectionCount() > 0;
  withRuler_ = (flags & PrintFlagBit(pfIncludeRuler)) != 0;
  firstRow_ = range_.First / perRow;
  rowCount_ = range_.Empty() ? 0 : (range_.End - 1) / perRow - firstRow_ + 1;
  const int lastOffset = (firstRow_ + std::max(rowCount_ - 1, 0)) * perRow;
  gutter_ = static_cast<int>(editor.GetOffsetText(static_cast<std::uint32_t>(lastOffset)).size());

  // The hex field: two digits a byte, a blank after every column group and every block.
  int cell = gutter_ + kGutterGap;
  for (int b = 0; b < perRow; ++b) {
    hexStarts_.push_back(cell);
    cell += 2;
    if (b == perRow - 1) break;
    if (EndsGroup(b, editor.BytesPerColumn())) ++cell;
    if (editor.BytesPerBlock() > 1 && EndsGroup(b, editor.BytesPerBlock())) ++cell;
  }
  cell += kFieldGap;
  const bool unicode = editor.UnicodeChars();
  const int chars = unicode ? perRow / 2 : perRow;
  const int block = unicode ? editor.BytesPerBlock() / 2 : editor.BytesPerBlock();
  for (int c = 0; c < chars; ++c) {
    charStarts_.push_back(cell);
    ++cell;
    if (c < chars - 1 && editor.BytesPerBlock() > 1 && editor.SeparateBlocksInCharField() &&
        EndsGroup(c, block))
      ++cell;
  }

  ruler_ = BlankLine(cell);
  const std::string& hexRuler = editor.HexRulerText();
  for (int b = 0; b < perRow; ++b)
    for (int n = 0; n < 2; ++n) {
      const std::size_t i = static_cast<std::size_t>(2 * b + n);
      if (i < hexRuler.size())
        Put(ruler_, HexCell(b, n), AnsiChar(static_cast<std::uint8_t>(hexRuler[i])),
            TPrintInk::Offset);
    }
  const std::string& charRuler = editor.CharRulerText();
  for (int c = 0; c < chars; ++c)
    if (static_cast<std::size_t>(c) < charRuler.size())
      Put(ruler_, charStarts_[static_cast<std::size_t>(c)],
          AnsiChar(static_cast<std::uint8_t>(charRuler[static_cast<std::size_t>(c)])),
          TPrintInk::Offset);
}

int THexPrintLayout::HexCell(int byteInRow, int nibble) const {
  return hexStarts_[static_cast<std::size_t>(byteInRow)] + nibble;
}

TPrintLine THexPrintLayout::Row(int index) const {
  TPrintLine line = BlankLine(LineLength());
  const int perRow = editor_.BytesPerRow();
  const int first = (firstRow_ + index) * perRow;
  const std::string offset = editor_.GetOffsetText(static_cast<std::uint32_t>(first));
  const int offsetStart = std::max(gutter_ - static_cast<int>(offset.size()), 0);
  for (std::size_t i = 0; i < offset.size(); ++i)
    Put(line, offsetStart + static_cast<int>(i), AnsiChar(static_cast<std::uint8_t>(offset[i])),
        TPrintInk::Offset);

  const int from = std::max(first, range_.First);
  const int to = std::min(first + perRow, range_.End);
  if (from >= to) return line;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(to - from));
  editor_.ReadBlock(bytes.data(), from, to - from);
  const char* digits = editor_.HexDigits();
  const bool swap = editor_.SwapNibbles();
  const int columnBytes = std::max(editor_.BytesPerColumn(), 1);
  const auto inkOf = [&](int position, TPrintInk plain) {
    if (boldSelection_ && editor_.IsSelected(position)) return TPrintInk::Selected;
    if (editor_.IsChanged(position)) return TPrintInk::Changed;
    return plain;
  };
  for (int p = from; p < to; ++p) {
    const std::uint8_t byte = bytes[static_cast<std::size_t>(p - from)];
    const int b = p - first;
    // Column groups alternate in colour, the first in the odd columns' colour.
    const TPrintInk plain =
        (b / columnBytes) % 2 == 0 ? TPrintInk::OddColumn : TPrintInk::EvenColumn;
    const TPrintInk ink = inkOf(p, plain);
    const char16_t high = static_cast<char16_t>(digits[byte >> 4]);
    const char16_t low = static_cast<char16_t>(digits[byte & 0x0F]);
    Put(line, HexCell(b, 0), swap ? low : high, ink);
    Put(line, HexCell(b, 1), swap ? high : low, ink);
  }
  if (!editor_.UnicodeChars()) {
    for (int p = from; p < to; ++p)
      Put(line, charStarts_[static_cast<std::size_t>(p - first)],
          AnsiChar(editor_.DataByteToChar(bytes[static_cast<std::size_t>(p - from)])),
          inkOf(p, TPrintInk::Characters));
    return line;
  }
  // Unicode: a character for every two bytes, printed with the first of them.
  for (int c = 0; c < static_cast<int>(charStarts_.size()); ++c) {
    const int p = first + 2 * c;
    if (p < from || p >= to) continue;
    const std::uint8_t a = editor_.ReadByte(p);
    const std::uint8_t b = p + 1 < editor_.DataSize() ? editor_.ReadByte(p + 1) : 0;
    char16_t code = editor_.UnicodeBigEndian() ? static_cast<char16_t>((a << 8) | b)
                                               : static_cast<char16_t>((b << 8) | a);
    // Control characters show as the view's mask character; a lone surrogate cannot be printed.
    if ((code < 0x100 && IsControlChar(static_cast<std::uint8_t>(code))) ||
        (code >= 0xD800 && code <= 0xDFFF))
      code = AnsiChar(editor_.MaskChar());
    Put(line, charStarts_[static_cast<std::size_t>(c)], code, inkOf(p, TPrintInk::Characters));
  }
  return line;
}

int THexPrintLayout::PageCount(int rows, int rowsPerPage) {
  if (rows <= 0) return 1;
  const int per = std::max(rowsPerPage, 1);
  return (rows + per - 1) / per;
}

std::string ExpandPageText(const std::string& text, const std::string& fileName, int page,
                           int pages) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case 'f':
        out.append(fileName);
        break;
      case 'p':
        out.append(std::to_string(page));
        break;
      case 'n':
        out.append(std::to_string(pages));
        break;
      case '&':
        out += '&';
        break;
      default:
        out += '&';
        out += text[i];
    }
  }
  return out;
}

}  // namespace kestrave::hex
