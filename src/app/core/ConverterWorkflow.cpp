#include "app/core/ConverterWorkflow.h"

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

void ConverterWorkflow::Button2Click() {
  HexEditorEx1.SetSelectionStart(0);
  HexEditorEx1.SetSelectionEnd(1);
}

void ConverterWorkflow::Button3Click() {}

}  // namespace kestrave::app
