#pragma once

#include <string>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/transfer/FormatChoice.h"
#include "platform/ole/DataObject.h"

namespace kestrave::hex {

// The extended component: a backup before the buffer's own file is overwritten, the modified
// flag set by every block write, and transfer through the clipboard.
class THexEditorEx : public TCustomHexEditor {
 public:
  THexEditorEx() = default;
  // Empties the clipboard when it still holds this editor's last copy (or leaves the rendered
  // data there with FlushClipboardAtShutDown).
  ~THexEditorEx() override;

  bool CreateBackup() const { return createBackup_; }
  void SetCreateBackup(bool value) { createBackup_ = value; }
  const std::string& BackupExtension() const { return backupExtension_; }
  void SetBackupExtension(const std::string& value) { backupExtension_ = value; }

  using HResult = platform::ole::HResult;

  // --- Clipboard ---------------------------------------------------------------------------
  bool ClipboardAsHexText() const { return clipboardAsHexText_; }
  void SetClipboardAsHexText(bool value) { clipboardAsHexText_ = value; }
  bool FlushClipboardAtShutDown() const { return flushClipboardAtShutDown_; }
  void SetFlushClipboardAtShutDown(bool value) { flushClipboardAtShutDown_ = value; }
  bool SupportsOtherClipFormats() const { return supportsOtherClipFormats_; }
  void SetSupportsOtherClipFormats(bool value) { supportsOtherClipFormats_ = value; }
  // The user's choice among several offered formats; nullptr uses the process's chooser.
  void SetFormatChooser(hex::IFormatChooser* chooser) { formatChooser_ = chooser; }

  bool CanCopy() const;
  bool CanCut() const;
  bool CanPaste();
  bool CopyToClipboard();
  bool CutToClipboard();
  bool PasteFromClipboard();

  // The formats paste and drop accept, most preferred first: 17, or 2 without other formats.
  std::vector<TClipFormat> GetAcceptedFormats() const;
  // S_OK when the object offers an accepted format, which becomes the chosen one of its kind.
  HResult CheckDataObject(platform::ole::IDataObject& data, bool fromClipboard,
                          std::int32_t& effect);
  // Reads the chosen format of the object and inserts its bytes (paste) or drops them.
  HResult InsertFromDataObject(platform::ole::IDataObject& data, bool fromClipboard,
                               std::int32_t& effect);
  TClipFormat ChosenFormat(bool forPaste) const { return chosenFormat_[forPaste ? 1 : 0]; }

 protected:
  void CheckFileOverwrite() override;
  void WriteBlock(const void* source, int index, int count) override;

 private:
  void MakeBackup();
  bool SelectOfferedFormat(platform::ole::IDataObject& data, TClipFormat& chosen);
  HResult ReadFileList(platform::ole::IDataObject& data, std::int32_t effect,
                       std::vector<std::uint8_t>& bytes);
  HResult ReadFormat(platform::ole::IDataObject& data, TClipFormat format, bool fromClipboard,
                     std::vector<std::uint8_t>& bytes);
  void PasteBytes(const std::uint8_t* bytes, int count, const std::string& description);

  bool createBackup_ = true;
  std::string backupExtension_ = ".bak";
  bool clipboardAsHexText_ = false;
  bool flushClipboardAtShutDown_ = false;
  bool supportsOtherClipFormats_ = true;
  platform::ole::ComPtr<platform::ole::IDataObject> clipboardData_;
  TClipFormat chosenFormat_[2] = {0, 0};  // drops, pastes
  hex::IFormatChooser* formatChooser_ = nullptr;
};

}  // namespace kestrave::hex
