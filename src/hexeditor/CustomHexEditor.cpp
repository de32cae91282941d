#include "hexeditor/CustomHexEditor.h"

namespace kestrave::hex {

TCustomHexEditor::TCustomHexEditor() : self_(std::make_shared<TCustomHexEditor*>(this)) {
  colors_.SetOwnerNotice([this](THexColors::Index) { host_->ColorsChanged(); });
  ParseOffsetFormat(gutter_.Format, "-!10:0x|", CurrentOffsetUnits());
  RebuildRulerTexts();
  AdjustMetrics();
}

TCustomHexEditor::~TCustomHexEditor() = default;

void TCustomHexEditor::Loaded() {
  CreateEmptyFile(kUntitled);
}

void TCustomHexEditor::SetTextMetrics(const platform::ITextMetrics& metrics) {
  platform_.Metrics = &metrics;
  RecalcLayout();
}

void TCustomHexEditor::PushBusyCursor() {
  busy_.Push();
}

void TCustomHexEditor::PopBusyCursor() {
  busy_.Pop();
}

void TCustomHexEditor::Changed() {
  if (OnChange) OnChange(*this);
  SelectionChanged();
}

void TCustomHexEditor::SelectionChanged() {
  if (pendingSelectionChanges_ == 0) {
    platform_.Queue->Post([weak = std::weak_ptr<TCustomHexEditor*>(self_)] {
      if (const auto self = weak.lock()) (*self)->DeliverSelectionChanged();
    });
  }
  ++pendingSelectionChanges_;
}

// The counter goes back to 0 also when nobody listens, so that a handler assigned later hears
// of the next change.
void TCustomHexEditor::DeliverSelectionChanged() {
  if (pendingSelectionChanges_ == 0) return;
  struct ClearPending {
    int& counter;
    ~ClearPending() { counter = 0; }
  } clear{pendingSelectionChanges_};
  if (OnSelectionChanged) OnSelectionChanged(*this);
}

}  // namespace kestrave::hex
