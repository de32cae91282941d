#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/TStringList.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/FileSystem.h"

namespace kestrave::app {

// The converter's state and operations, shared by the window and the command line so the
// record semantics cannot drift apart: two hidden component instances, the two position lists,
// the status text and whether the save buttons are enabled.
class ConverterWorkflow {
 public:
  ConverterWorkflow();

  // Open steps after the dialog: clear both lists, load the container, run the scan action.
  void OpenContainer(const std::string& path);
  // The scan action: magic scan, marker scan, then the status text and the save buttons.
  void Action1Execute();
  // The magic scan, appending to ListBox1; it ends with positions 0 and 1 selected.
  void Button2Click();
  // The marker scan, appending to ListBox2.
  void Button3Click();

  // Told of each record file as soon as it stands complete under its name, while the export
  // goes on.
  using RecordWritten = std::function<void(const std::string& fileName)>;
  // The file record Number (from 1) of an export to Base goes to.
  static std::string RecordFileName(const std::string& base, int number);
  // Whether the last part of Base is a name the record numbers can be added to: not empty, "."
  // or "..", each of which names a folder (and "._1.amr" would be a hidden file beside it).
  static bool BaseHasName(const std::string& base);

  // "Сохранить AMR" after the dialog: writes record n of ListBox2's count to Base + "_n.amr",
  // moving each record through the clipboard; answers the files written, in order. A base
  // without a name, or a record file that would replace the container, is refused first.
  std::vector<std::string> ExportRecords(const std::string& base,
                                         const RecordWritten& recordWritten = {});

  // Refuses the file names of records 1 to Count, as FileNameOf gives them, when one stands for
  // the container itself (by its name, a link or another hard link): writing it would destroy
  // the container.
  void RefuseContainerAsTarget(int count,
                               const std::function<std::string(int number)>& fileNameOf) const;

  const std::string& StatusText() const { return statusText_; }
  bool SaveButtonsEnabled() const { return saveEnabled_; }

  hex::THexEditorEx HexEditorEx1;
  hex::THexEditorEx HexEditorEx2;
  TStringList ListBox1;
  TStringList ListBox2;

 private:
  static void Configure(hex::THexEditorEx& editor);
  // The starts of Texts as patterns in the container, found in one pass; nothing when the
  // component must be asked one start at a time.
  std::optional<std::vector<std::vector<int>>> FindAllStarts(const std::vector<std::string>& texts);
  void ScanMagic(const std::vector<int>* starts);
  void ScanMarkers(const std::vector<int>* starts);
  // Lists each start of Text from the cursor on, selecting each; Starts, when known, are all
  // the starts there are, so nothing has to be searched again.
  void ScanFor(const std::string& text, TStringList& list, const std::vector<int>* starts);
  // Refuses a base without a name, and the names of the first Count records when one stands
  // for the container.
  void RefuseRecordNames(const std::string& base, int count) const;
  void ExportRecord(int index, int start, int end, const std::string& fileName,
                    const RecordWritten& recordWritten);
  bool ScratchHoldsRecord(int start, int end) const;

  // The container's file as it was loaded, so a record never replaces it, even once renamed.
  std::optional<platform::FileIdentity> containerIdentity_;
  std::string statusText_;
  bool saveEnabled_ = false;
};

}  // namespace kestrave::app
