#include "hexeditor/transfer/TransferFormats.h"

#include "platform/ole/ClipboardFormats.h"

namespace kestrave::hex {

const TransferFormatIds& TransferFormats() {
  using platform::ole::RegisterClipboardFormatA;
  static const TransferFormatIds ids{
      RegisterClipboardFormatA("THexEditorEx Clipboard Format"),
      RegisterClipboardFormatA("RegEdit_HexData"),
      RegisterClipboardFormatA("Rich Text Format"),
      RegisterClipboardFormatA("HTML Format"),
      RegisterClipboardFormatA("FileContents"),
      RegisterClipboardFormatA("FileGroupDescriptor"),
      RegisterClipboardFormatA("Performed DropEffect"),
      RegisterClipboardFormatA("Logical Performed DropEffect"),
  };
  return ids;
}

}  // namespace kestrave::hex
