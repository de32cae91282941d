#include "app/hex/FileCommands.h"

#include "app/hex/FileLimits.h"
#include "app/hex/RecentFiles.h"
#include "hexeditor/HexEditorError.h"
#include "platform/FileSystem.h"

namespace kestrave::app {

FileCommands::FileCommands(hex::THexEditorEx& editor, IHexDialogs& dialogs, FileOnDisk& disk,
                           Run run)
    : editor_(editor), dialogs_(dialogs), disk_(disk), run_(std::move(run)) {}

bool FileCommands::Load(const std::string& path) {
  // Known before a byte is read: the editor would fail at 2 GiB, after a long load, with a
  // message about memory.
  if (const std::optional<std::int64_t> size = platform::FileSizeOf(path);
      size && *size > kLargestOpenedFile) {
    // The file travels beside the text, as with every error that has a detail.
    dialogs_.ShowError(tr("kestrave-hex opens files up to 2 GiB; this file has %1.")
                           .arg(QString::fromStdString(FileSizeText(*size)))
                           .toStdString() +
                       "\r\n" + path);
    return false;
  }
  const std::optional<platform::FileStamp> before = platform::StampOf(path);
  const int sizeBefore = editor_.DataSize();
  bool loaded = false;
  run_([&] {
    editor_.LoadFromFile(path);
    loaded = true;
  });
  dialogs_.EndProgress();
  if (!loaded) {
    // A load that failed part-way (cancelled, a read error) has emptied the data.
    if (sizeBefore > 0 && editor_.DataSize() == 0) {
      editor_.CreateEmptyFile("");
      disk_.Forget();
      if (OnEmptied) OnEmptied();
    }
    return false;
  }
  // As the disk held the file before the load: a change made while it was read is noticed.
  disk_.Note(path, before ? before : platform::StampOf(path));
  if (OnLoaded) OnLoaded(path);
  return true;
}

bool FileCommands::ConfirmDiscard(const std::string& shownName) {
  if (!editor_.Modified()) return true;
  switch (dialogs_.AskSaveChanges(shownName)) {
    case SaveChangesAnswer::Save:
      return Save();
    case SaveChangesAnswer::Discard:
      return true;
    case SaveChangesAnswer::Cancel:
      return false;
  }
  return false;
}

bool FileCommands::Save() {
  if (editor_.IsFileReadOnly()) return SaveAs();
  return SaveTo(editor_.FileName());
}

bool FileCommands::SaveAs() {
  // An untitled editor's name is no file: the dialog starts in the working folder then.
  const std::string suggested = disk_.Path().empty() ? std::string() : editor_.FileName();
  const std::optional<std::string> path = dialogs_.ChooseFileToSave(suggested);
  return path && !path->empty() && SaveTo(*path);
}

// Saving over the file's own name keeps the previous content as name.bak (CreateBackup). Where no
// backup can be made (a folder that takes no new file), the user may save without one.
bool FileCommands::SaveTo(const std::string& path) {
  if (!MayOverwrite(path)) return false;
  std::string noBackup;
  bool saved = SaveOnce(path, noBackup);
  if (!noBackup.empty() &&
      dialogs_.Confirm(
          {tr("%1\nSave without a backup?").arg(QString::fromStdString(noBackup)).toStdString(),
           tr("Save &Without Backup").toStdString(), tr("&Cancel").toStdString()})) {
    const bool backups = editor_.CreateBackup();
    editor_.SetCreateBackup(false);
    saved = SaveOnce(path, noBackup);
    editor_.SetCreateBackup(backups);
  }
  if (!saved) return false;
  disk_.Note(path, platform::StampOf(path));
  if (OnSaved) OnSaved(path);
  return true;
}

// One try; a backup that could not be made is told in NoBackup rather than shown.
bool FileCommands::SaveOnce(const std::string& path, std::string& noBackup) {
  bool saved = false;
  run_([&] {
    try {
      editor_.SaveToFile(path, true);
      saved = true;
    } catch (const hex::EHexBackupError& e) {
      noBackup = e.Message();
    }
  });
  dialogs_.EndProgress();
  return saved;
}

// Before a save under the name of the file shown: a change another program made to it since
// the window read or saved it is overwritten only when the user says so.
bool FileCommands::MayOverwrite(const std::string& path) {
  if (disk_.Path().empty() || !disk_.Stamp() || NormalPath(path) != NormalPath(disk_.Path()))
    return true;
  const std::optional<platform::FileStamp> now = platform::StampOf(path);
  // A removed file is written again, as the user was told.
  if (!now || *now == *disk_.Stamp()) return true;
  return dialogs_.Confirm(
      {tr("The file %1 has been changed by another program since this window read or saved it. "
          "Saving overwrites that change.\nOverwrite it?")
           .arg(QString::fromStdString(path))
           .toStdString(),
       tr("&Overwrite").toStdString(), tr("&Cancel").toStdString()});
}

void FileCommands::Reload() {
  if (disk_.Path().empty()) return;
  if (editor_.Modified() &&
      !dialogs_.Confirm({tr("Discard the changes made in this window and reload %1 from the disk?")
                             .arg(QString::fromStdString(disk_.Path()))
                             .toStdString(),
                         tr("&Reload").toStdString(), tr("&Cancel").toStdString()}))
    return;
  ReloadFromDisk();
}

void FileCommands::ReloadFromDisk() {
  const std::string path = disk_.Path();
  const int caret = editor_.CursorPosition();
  if (!Load(path)) return;
  if (caret > 0 && caret < editor_.DataSize()) run_([&] { editor_.SetSelectionStart(caret); });
}

}  // namespace kestrave::app
