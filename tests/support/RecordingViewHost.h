#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "hexeditor/paint/HexViewHost.h"

namespace kestrave::test {

// A window as the tests play one: it keeps every notice an editor gives it, runs the auto-scroll
// timer when the test ticks it, and lets a test look at the editor as each notice arrives.
class RecordingViewHost : public hex::IHexViewHost {
 public:
  void BytesChanged(std::int64_t first, std::int64_t last) override {
    bytes.emplace_back(first, last);
  }
  void SelectionChanged(const hex::SelectionRange& old, const hex::SelectionRange& now) override {
    selections.emplace_back(old, now);
  }
  void CaretMoved(const hex::BytePlace& old, const hex::BytePlace& now) override {
    carets.emplace_back(old, now);
  }
  void DropMarkerMoved(const hex::BytePlace& old, const hex::BytePlace& now) override {
    dropMarkers.emplace_back(old, now);
  }
  void ViewChanged() override {
    ++views;
    if (onViewChanged) onViewChanged();
  }
  void ColorsChanged() override { ++colors; }
  void LayoutChanged() override {
    ++layouts;
    if (onLayoutChanged) onLayoutChanged();
  }
  bool StartAutoScroll() override {
    EXPECT_FALSE(autoScrolling) << "started twice";
    autoScrolling = true;
    return true;
  }
  void StopAutoScroll() override { autoScrolling = false; }

  std::vector<std::pair<std::int64_t, std::int64_t>> bytes;
  std::vector<std::pair<hex::SelectionRange, hex::SelectionRange>> selections;
  std::vector<std::pair<hex::BytePlace, hex::BytePlace>> carets;
  std::vector<std::pair<hex::BytePlace, hex::BytePlace>> dropMarkers;
  int views = 0;
  int colors = 0;
  int layouts = 0;
  bool autoScrolling = false;
  std::function<void()> onViewChanged;
  std::function<void()> onLayoutChanged;
};

}  // namespace kestrave::test
