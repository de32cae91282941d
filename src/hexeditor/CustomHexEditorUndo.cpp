// What the undo history reaches of the component beyond the document: its side of IUndoTarget.
#include "hexeditor/CustomHexEditor.h"

namespace kestrave::hex {
UndoHeader TCustomHexEditor::CurrentState() const {
  UndoHeader header;
  header.Caret = CaretBytePosition();
  header.Flags = FlagIf(document_.Modified(), undoflag::kModified) |
                 FlagIf(CaretOnSecondDigit(), undoflag::kSecondDigit) |
                 FlagIf(CaretInCharColumn(), undoflag::kInCharField) |
                 FlagIf(modes_.InsertStored, undoflag::kInsertMode) |
                 FlagIf(layout_.UnicodeChars(), undoflag::kUnicode) |
                 FlagIf(layout_.UnicodeBigEndian(), undoflag::kBigEndian);
  header.Translation = static_cast<std::uint8_t>(look_.Translation);
  header.BytesPerUnit = layout_.BytesPerUnit();
  return header;
}

UndoSelection TCustomHexEditor::CurrentSelection() const {
  return {caret_.Range().Low, caret_.Range().High, caret_.Range().Anchor};
}

void TCustomHexEditor::RestoreModes(const UndoHeader& header) {
  SetInsertMode(header.Has(undoflag::kInsertMode));
  SetUnicodeChars(header.Has(undoflag::kUnicode));
  SetUnicodeBigEndian(header.Has(undoflag::kBigEndian));
  RestoreTranslation(static_cast<THexTranslationKind>(header.Translation));
  SetBytesPerUnit(header.BytesPerUnit);
}

void TCustomHexEditor::RestoreCaret(const UndoHeader& header) {
  PlaceCaretAt(header.Caret, header.Has(undoflag::kInCharField),
               header.Has(undoflag::kSecondDigit));
  document_.SetModified(header.Has(undoflag::kModified));
}

void TCustomHexEditor::RestoreSelection(const std::optional<UndoSelection>& selection) {
  if (!selection) {
    // Nothing was selected; a selection left from the step must not outlive its bytes.
    ResetSelection(true);
  } else if (selection->High == -1) {
    Seek(selection->Low, 0);
  } else {
    SetSelectionFields(selection->Anchor, selection->Low, selection->High);
  }
}

void TCustomHexEditor::RestoreSelectionFields(const UndoSelection& selection) {
  SetSelectionFields(selection.Anchor, selection.Low, selection.High);
}

void TCustomHexEditor::CaretToRowStart() {
  caret_.SetCursor({GridGeometry::kFixedCols, CursorCell().Row});
}

void TCustomHexEditor::ShiftNibble(int position, bool insert) {
  if (insert) {
    InsertNibble(position, false);
  } else {
    DeleteNibble(position, false);
  }
}

}  // namespace kestrave::hex
