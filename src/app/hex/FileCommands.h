#pragma once

#include <QCoreApplication>
#include <functional>
#include <string>

#include "app/hex/FileOnDisk.h"
#include "app/hex/HexDialogs.h"
#include "hexeditor/HexEditorEx.h"

namespace kestrave::app {

// Loading, saving and reloading one editor's file: a backup kept by a save over the file's own
// name (and a save without one where none can be made, when the user says so), no overwriting of
// another program's change unless the user says so, no file loaded that the editor cannot hold.
class FileCommands {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  using Run = std::function<void(const std::function<void()>&)>;
  FileCommands(hex::THexEditorEx& editor, IHexDialogs& dialogs, FileOnDisk& disk, Run run);

  // Told after a load or a save under Path; and when a failed load emptied the data (the editor
  // then shows no file: a save must not write the emptiness over the file it showed).
  std::function<void(const std::string& path)> OnLoaded;
  std::function<void(const std::string& path)> OnSaved;
  std::function<void()> OnEmptied;

  // The path is the bytes the system knows the file by, whatever their encoding.
  bool Load(const std::string& path);
  bool Save();
  // Starts the dialog in the file's folder.
  bool SaveAs();
  bool SaveTo(const std::string& path);
  // Asks whether to save a changed file before its data goes; false when the user cancelled.
  bool ConfirmDiscard(const std::string& shownName);
  // File > Reload: the file as the disk holds it now, asking first when the data has changed.
  void Reload();
  // The same without asking; the caret stays where it was, as far as the new content reaches.
  void ReloadFromDisk();

 private:
  bool SaveOnce(const std::string& path, std::string& noBackup);
  bool MayOverwrite(const std::string& path);

  hex::THexEditorEx& editor_;
  IHexDialogs& dialogs_;
  FileOnDisk& disk_;
  Run run_;
};

}  // namespace kestrave::app
