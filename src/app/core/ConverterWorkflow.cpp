#include "app/core/ConverterWorkflow.h"

#include <algorithm>

#include "app/core/ConverterTexts.h"
#include "platform/FileSystem.h"

namespace kestrave::app {

ConverterWorkflow::ConverterWorkflow() : statusText_(text::kTitle) {
  Configure(HexEditorEx1);
  Configure(HexEditorEx2);
}

void ConverterWorkflow::Configure(hex::THexEditorEx& editor) {
  editor.SetBackupExtension(".bak");
  editor.SetFont({"Courier New", 15});
  editor.Loaded();
}

void ConverterWorkflow::OpenContainer(const std::string& path) {
  ListBox1.Clear();
  ListBox2.Clear();
  HexEditorEx1.LoadFromFile(path);
  Action1Execute();
}

void ConverterWorkflow::Action1Execute() {
  // A leftover of the converter's first home; nothing depends on the current folder.
  platform::SetCurrentDirectory(text::kScanFolder);
  Button2Click();
  Button3Click();
  if (ListBox1.Count() > 0) {
    statusText_ = text::kFoundPrefix + std::to_string(ListBox1.Count()) + text::kFoundSuffix;
    saveEnabled_ = true;
  } else {
    statusText_ = text::kNoRecords;
    saveEnabled_ = false;
  }
}

// Each hit is selected and listed; the next search starts on the hit's last byte, where the
// cursor now stands. Neither pattern begins with its own last byte, so no hit is found twice.
void ConverterWorkflow::ScanFor(const std::string& text, TStringList& list) {
  for (;;) {
    const int start = std::max(0, HexEditorEx1.CursorPosition());
    const std::string pattern = HexEditorEx1.BuildFindPattern(text, true, false);
    const int length = static_cast<int>(pattern.size());
    const int hit = HexEditorEx1.FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()),
                                           length, start, HexEditorEx1.DataSize() - 1, true);
    if (hit == -1) return;
    HexEditorEx1.SetSelectionStart(hit + length - 1);
    HexEditorEx1.SetSelectionEnd(hit);
    list.Add(std::to_string(hit));
  }
}

void ConverterWorkflow::Button2Click() {
  ScanFor(text::kAmrMagic, ListBox1);
  HexEditorEx1.SetSelectionStart(0);
  HexEditorEx1.SetSelectionEnd(1);
}

void ConverterWorkflow::Button3Click() {
  ScanFor(text::kAmrMarker, ListBox2);
}

}  // namespace kestrave::app
