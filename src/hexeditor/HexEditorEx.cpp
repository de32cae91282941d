#include "hexeditor/HexEditorEx.h"

#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/transfer/HexDropTarget.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"

namespace kestrave::hex {

using platform::FormatMessage;

THexEditorEx::THexEditorEx() : dropTarget_(new THexDropTarget(*this)) {}

// Nothing may escape a destructor: both steps raise nothing.
THexEditorEx::~THexEditorEx() {
  dropTarget_->Free();
  LeaveClipboard();
}

void THexEditorEx::CheckFileOverwrite() {
  TCustomHexEditor::CheckFileOverwrite();
  // The extension is appended, never substituted: data.bin becomes data.bin.bak. The file
  // itself stays where it is; the save keeps its content under that name before replacing it.
  if (createBackup_ && Modified() && platform::FileExists(FileName()))
    RequestBackup(FileName() + backupExtension_);
}

void THexEditorEx::WriteBlock(const void* source, int index, int count) {
  TCustomHexEditor::WriteBlock(source, index, count);
  SetModified(true);
}

}  // namespace kestrave::hex
