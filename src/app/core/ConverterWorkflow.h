#pragma once

#include <string>
#include <vector>

#include "app/core/TStringList.h"
#include "hexeditor/HexEditorEx.h"

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

  // "Сохранить AMR" after the dialog: writes record n of ListBox2's count to Base + "_n.amr",
  // moving each record through the clipboard; answers the files written, in order.
  std::vector<std::string> ExportRecords(const std::string& base);

  const std::string& StatusText() const { return statusText_; }
  bool SaveButtonsEnabled() const { return saveEnabled_; }

  hex::THexEditorEx HexEditorEx1;
  hex::THexEditorEx HexEditorEx2;
  TStringList ListBox1;
  TStringList ListBox2;

 private:
  static void Configure(hex::THexEditorEx& editor);
  void ScanFor(const std::string& text, TStringList& list);
  void ExportRecord(int index, int start, int end, const std::string& fileName);
  bool ScratchHoldsRecord(int start, int end) const;

  std::string statusText_;
  bool saveEnabled_ = false;
};

}  // namespace kestrave::app
