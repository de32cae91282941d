#pragma once

#include <vector>

#include "platform/UserInterface.h"

namespace kestrave::hex {

// The mouse pointer's shape while operations run: each busy operation shows the hourglass and
// tells the indicator, and its end brings back the shape before it.
class BusyCursor {
 public:
  void SetIndicator(platform::IBusyIndicator* indicator) { indicator_ = indicator; }
  platform::TCursor Shape() const { return shape_; }
  void Push() {
    saved_.push_back(shape_);
    shape_ = platform::crHourGlass;
    if (indicator_) indicator_->BeginBusy();
  }
  void Pop() {
    if (saved_.empty()) return;
    shape_ = saved_.back();
    saved_.pop_back();
    if (indicator_) indicator_->EndBusy();
  }

 private:
  platform::IBusyIndicator* indicator_ = nullptr;
  platform::TCursor shape_ = platform::crDefault;
  std::vector<platform::TCursor> saved_;
};

}  // namespace kestrave::hex
