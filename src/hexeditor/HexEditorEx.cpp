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
  if (createBackup_ && Modified() && platform::FileExists(FileName())) MakeBackup();
}

// The extension is appended, never substituted: data.bin becomes data.bin.bak.
void THexEditorEx::MakeBackup() {
  const std::string backup = FileName() + backupExtension_;
  if (platform::FileExists(backup) && !platform::DeleteFile(backup))
    throw EHexEditor(FormatMessage(msg::kCannotDeleteBackup, {backup, platform::LastErrorText()}));
  if (!platform::RenameFile(FileName(), backup))
    throw EHexEditor(FormatMessage(msg::kCannotCreateBackup, {backup, platform::LastErrorText()}));
  NoteMovedAside(FileName(), backup);
}

void THexEditorEx::WriteBlock(const void* source, int index, int count) {
  TCustomHexEditor::WriteBlock(source, index, count);
  SetModified(true);
}

}  // namespace kestrave::hex
