// Buffer and files: byte primitives, loading, saving and empty buffers.
#include <cerrno>
#include <cstring>
#include <exception>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "hexeditor/document/FileLoading.h"
#include "hexeditor/document/ProgressCopy.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {

using platform::FormatMessage;

namespace {

// Names the file being read or written in progress reports, until every way out of the scope.
class ProgressNameScope {
 public:
  ProgressNameScope(HexDocument& document, const std::string& name) : document_(document) {
    document_.SetProgressName(name);
  }
  ~ProgressNameScope() { document_.SetProgressName({}); }
  ProgressNameScope(const ProgressNameScope&) = delete;
  ProgressNameScope& operator=(const ProgressNameScope&) = delete;

 private:
  HexDocument& document_;
};

}  // namespace

std::uint8_t TCustomHexEditor::ReadByte(int index) const {
  return static_cast<std::uint8_t>(*document_.Bytes().PointerAt(index));
}

void TCustomHexEditor::WriteByte(int index, std::uint8_t value) {
  *document_.Bytes().PointerAt(index) = static_cast<std::byte>(value);
}

void TCustomHexEditor::ReadBlock(void* dest, int index, int count) const {
  if (count > 0)
    std::memcpy(dest, document_.Bytes().PointerAt(index), static_cast<std::size_t>(count));
}

std::span<const std::uint8_t> TCustomHexEditor::ViewBytes(int index, int count) const {
  if (count <= 0) return {};
  return {reinterpret_cast<const std::uint8_t*>(document_.Bytes().PointerAt(index)),
          static_cast<std::size_t>(count)};
}

void TCustomHexEditor::WriteBlock(const void* source, int index, int count) {
  if (count > 0)
    platform::MoveBytesResponsively(document_.Bytes().PointerAt(index), source,
                                    static_cast<std::size_t>(count));
}

// Sets the read-only-file flag from what the file allows; answers 0 when the file can be read,
// otherwise the error number that says why not.
int TCustomHexEditor::ProbeReadOnly(const std::string& fileName) {
  document_.SetReadOnlyFile(true);
  if (const int error = UnreadableError(fileName)) return error;
  if (platform::OpenReadWriteExclusive(fileName).IsOpen()) document_.SetReadOnlyFile(false);
  return 0;
}

void TCustomHexEditor::LoadFromFile(const std::string& fileName) {
  // Refused before anything is touched.
  RefuseTooLargeToLoad(fileName);
  if (const int error = ProbeReadOnly(fileName))
    throw platform::EFOpenError(
        FormatMessage(msg::kCannotOpen, {fileName, platform::SystemErrorText(error)}));
  const platform::FileHandle file = platform::OpenForReadShared(fileName);
  if (!file.IsOpen())
    throw platform::EFOpenError(
        FormatMessage(msg::kCannotOpenFile, {fileName, platform::LastErrorText()}));
  const ProgressNameScope progressName(document_, fileName);
  platform::THandleStream stream(file.Fd());
  try {
    LoadFromStream(stream);
  } catch (const EHexEditor& e) {
    // "Stream read error" names neither the file nor the cause: its detail does.
    if (e.Message() != msg::kStreamReadError) throw;
    throw EHexEditor(e.Message(), platform::ReadFailureDetail(fileName, stream));
  }
  document_.SetFileName(fileName);
}

void TCustomHexEditor::ReportCopyProgress(platform::TStream& source, platform::TStream& dest,
                                          THexProgressKind kind) {
  ProgressReport report;
  if (OnProgress) {
    report = [this, kind](std::uint8_t percent) {
      bool cancel = false;
      OnProgress(*this, kind, document_.ProgressName(), percent, cancel);
      return cancel;
    };
  }
  CopyWithProgress(source, dest, -1, report);
}

void TCustomHexEditor::LoadFromStream(platform::TStream& stream) {
  // Progress reports let the window draw itself meanwhile; a half-filled buffer laid out as an
  // empty one must not be shown, and the whole content is drawn once it is in.
  const PaintLockScope paintLocked(*this);
  document_.Bytes().SetSize(0);
  AdjustMetrics();
  const BusyScope busy(*this);
  std::exception_ptr failure;
  try {
    stream.SetPosition(0);
    const std::int64_t size = stream.Size();
    if (size < 0) throw EHexEditor(msg::kStreamReadError);
    document_.Bytes().SetSize(size);
    document_.Bytes().SetPosition(0);
    ReportCopyProgress(stream, document_.Bytes(), pkLoad);
    document_.Bytes().SetPosition(0);
  } catch (...) {
    failure = std::current_exception();
    // Emptied before anyone is told of the change, so no handler sees a half-read buffer.
    document_.Bytes().SetSize(0);
  }
  if (failure || undo_.UpdateCount() == 0) undo_.Reset(true);
  ShowNewContent();
  if (failure) std::rethrow_exception(failure);
}

void TCustomHexEditor::SaveToStream(platform::TStream& stream) {
  const BusyScope busy(*this);
  struct RepaintAfter {
    IHexViewHost& host;
    ~RepaintAfter() { host.ViewChanged(); }
  } repaint{*host_};
  document_.Bytes().SetPosition(0);
  ReportCopyProgress(document_.Bytes(), stream, pkSave);
}

void TCustomHexEditor::CheckFileOverwrite() {
  if (document_.ReadOnlyFile())
    throw platform::EFOpenError(FormatMessage(msg::kCannotSaveReadOnly, {document_.FileName()}));
}

void TCustomHexEditor::RequestBackup(const std::string& backup) {
  document_.RequestBackup(backup);
}

void TCustomHexEditor::SaveToFile(const std::string& fileName, bool adoptFile) {
  document_.TakeRequestedBackup();
  if (fileName == document_.FileName()) CheckFileOverwrite();
  SaveThroughReplacement(fileName, document_.TakeRequestedBackup());
  if (adoptFile) {
    document_.Marks().Clear();
    document_.SetModified(false);
    document_.SetReadOnlyFile(false);
    document_.SetFileName(fileName);
    document_.Bytes().SetPosition(0);
    undo_.Reset(true);
  }
}

namespace {

platform::EFCreateError CreateError(const std::string& fileName, int error) {
  return platform::EFCreateError(
      FormatMessage(msg::kCannotCreateFile, {fileName, platform::SystemErrorText(error)}));
}

// An old backup that stands in the way and may not be replaced is one that cannot be deleted.
EHexBackupError BackupError(const std::string& backup, int error) {
  const bool oldInTheWay =
      (error == EACCES || error == EPERM || error == platform::kSharedFolderFileError) &&
      platform::FileExists(backup);
  return EHexBackupError(
      FormatMessage(oldInTheWay ? msg::kCannotDeleteBackup : msg::kCannotCreateBackup,
                    {backup, platform::SystemErrorText(error)}));
}

}  // namespace

// The whole buffer goes to a new file beside the target, which replaces the target only when
// it is complete: a failed save leaves the old file, and the old backup, as they were. Where the
// target itself must be written (a device, a file with other names or another owner),
// FileReplacement says so, and the backup is then a copy made before anything is written.
void TCustomHexEditor::SaveThroughReplacement(const std::string& fileName,
                                              const std::optional<std::string>& backup) {
  platform::FileReplacement target(fileName, document_.Bytes().Size(), document_.SyncOnSave());
  if (!target.IsOpen()) throw CreateError(fileName, target.Error());
  if (backup)
    if (const int error = target.KeepBackup(*backup)) throw BackupError(*backup, error);
  const ProgressNameScope progressName(document_, fileName);
  platform::THandleStream stream(target.Fd());
  try {
    SaveToStream(stream);
  } catch (const EHexEditor& e) {
    // "Stream write error" names neither the file nor the cause: its detail does.
    if (e.Message() != msg::kStreamWriteError) throw;
    throw EHexEditor(e.Message(), platform::WriteFailureDetail(fileName, stream.LastError()));
  }
  if (const int error = target.Flush())
    throw EHexEditor(msg::kStreamWriteError, platform::WriteFailureDetail(fileName, error));
  if (const int error = target.Install()) {
    if (target.BackupFailed()) throw BackupError(*backup, error);
    throw CreateError(fileName, error);
  }
}

void TCustomHexEditor::CreateEmptyFile(const std::string& name) {
  document_.Bytes().SetSize(0);
  document_.SetFileName(name.empty() ? kUntitled : name);
  undo_.Reset(true);
  ResetSelection(true);
  document_.SetReadOnlyFile(true);
  ShowNewContent();
}

// The end of every replacement of the whole content: unmarked, unmodified, caret at the start.
void TCustomHexEditor::ShowNewContent() {
  document_.Marks().Clear();
  AdjustMetrics();
  document_.SetModified(false);
  MoveCaretToStart();
  Changed();
}

}  // namespace kestrave::hex
