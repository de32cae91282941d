// Typed characters: hex digits in the hex field, characters in the character field.
#include <algorithm>
#include <cctype>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/HexInput.h"
#include "platform/CodePages.h"

namespace kestrave::hex {
namespace {

void InvalidKey(THexEditorEx& e) {
  if (e.OnInvalidKey) e.OnInvalidKey(e);
}

// One unit of the typed value: the value's first bytes, the rest zero.
struct UnitValue {
  std::uint8_t bytes[8] = {};
};

void TypeInCharField(THexEditorEx& e, int p, std::uint8_t ch) {
  const std::uint8_t b = e.CharToDataByte(ch);
  if (IsControlChar(b)) return InvalidKey(e);
  if (!e.InsertMode()) e.ResetSelection(true);
  UnitValue value;
  std::uint16_t wide = 0;
  if (e.UnicodeChars()) {
    wide = platform::AnsiCodePage().ToUnicode(ch);
    if (e.UnicodeBigEndian()) wide = static_cast<std::uint16_t>((wide << 8) | (wide >> 8));
    value.bytes[0] = static_cast<std::uint8_t>(wide & 0xFF);
    value.bytes[1] = static_cast<std::uint8_t>(wide >> 8);
  } else {
    value.bytes[0] = b;
  }
  const int unit = e.BytesPerUnit();
  const std::uint8_t old = p < e.DataSize() ? e.ReadByte(p) : 0;
  if (e.InsertMode()) {
    if (e.SelectionCount() > 0) {
      e.ReplaceSelection(value.bytes, unit, "", false);
    } else if (p == e.DataSize()) {
      e.AppendBuffer(value.bytes, unit, "", false);
    } else if (p % unit != 0) {
      e.ChangeByte(old, b, p, 0, 0, "");
    } else {
      e.InsertBuffer(value.bytes, unit, p, "", false);
    }
    e.SetExtending(false);
  } else if (e.UnicodeChars()) {
    const std::uint16_t oldWide =
        p + 1 < e.DataSize() ? static_cast<std::uint16_t>(e.ReadByte(p) | (e.ReadByte(p + 1) << 8))
                             : 0;
    const auto newWide = static_cast<std::uint16_t>(value.bytes[0] | (value.bytes[1] << 8));
    e.ChangeWord(oldWide, newWide, p, 0, 0, "");
  } else {
    e.ChangeByte(old, b, p, 0, 0, "");
  }
  MoveRight(e);
}

int HexDigit(std::uint8_t ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

void TypeInHexField(THexEditorEx& e, int p, std::uint8_t ch) {
  const int d = HexDigit(ch);
  if (d < 0) return InvalidKey(e);
  if (!e.InsertMode()) e.ResetSelection(true);
  const int col = e.CursorCell().Col;
  const std::uint8_t old = p < e.DataSize() ? e.ReadByte(p) : 0;
  const bool selected = e.SelectionCount() > 0;
  const bool onHighNibble = GridGeometry::NibbleIndex(col) % 2 == (e.SwapNibbles() ? 1 : 0);
  const auto typed = static_cast<std::uint8_t>(onHighNibble || selected ? d * 16 + (old & 0x0F)
                                                                        : (old & 0xF0) + d);
  const int unit = e.BytesPerUnit();
  const bool unitStart = GridGeometry::NibbleIndex(col) % (2 * unit) == 0;
  if (!e.InsertMode() || (!unitStart && !selected)) {
    if (p >= e.DataSize()) return;
    e.ChangeByte(old, typed, p, 0, 0, "");
  } else {
    UnitValue value;
    value.bytes[0] = static_cast<std::uint8_t>(typed & (e.SwapNibbles() ? 0x0F : 0xF0));
    if (e.DataSize() == 0) {
      e.AppendBuffer(value.bytes, unit, "", false);
    } else if (selected) {
      e.ReplaceSelection(value.bytes, unit, "", false);
    } else {
      e.InsertBuffer(value.bytes, unit, p, "", false);
    }
  }
  e.SetExtending(false);
  MoveRight(e);
}

}  // namespace

void HandleTypedChar(THexEditorEx& e, std::uint8_t ch) {
  if (e.ReadOnlyView() || IsControlChar(ch)) return;
  const int p =
      static_cast<int>(std::min<std::int64_t>(e.CellToPosition(e.CursorCell()), e.DataSize()));
  if (p >= e.DataSize() && !e.InsertMode()) return;
  if (e.Geometry().IsCharColumn(e.CursorCell().Col)) {
    TypeInCharField(e, p, ch);
  } else {
    TypeInHexField(e, p, ch);
  }
}

}  // namespace kestrave::hex
