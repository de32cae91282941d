#pragma once

#include <string>

#include "hexeditor/CustomHexEditor.h"

namespace kestrave::hex {

// The extended component: a backup before the buffer's own file is overwritten, and the
// modified flag set by every block write.
class THexEditorEx : public TCustomHexEditor {
 public:
  bool CreateBackup() const { return createBackup_; }
  void SetCreateBackup(bool value) { createBackup_ = value; }
  const std::string& BackupExtension() const { return backupExtension_; }
  void SetBackupExtension(const std::string& value) { backupExtension_ = value; }

 protected:
  void CheckFileOverwrite() override;
  void WriteBlock(const void* source, int index, int count) override;

 private:
  void MakeBackup();

  bool createBackup_ = true;
  std::string backupExtension_ = ".bak";
};

}  // namespace kestrave::hex
