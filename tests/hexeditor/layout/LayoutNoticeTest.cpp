#include <gtest/gtest.h>

#include <functional>

#include "support/RecordingViewHost.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

class FixedMetrics : public platform::ITextMetrics {
 public:
  int TextWidth(const platform::FontDescription& font, std::string_view t) const override {
    return font.Size() * 3 / 5 * static_cast<int>(t.size());
  }
  int TextHeight(const platform::FontDescription& font, std::string_view) const override {
    return font.Size();
  }
};

class LayoutNotice : public EditorTest {
 protected:
  // A view that keeps scroll bars: it reads the ranges as soon as it hears of a change, and
  // remembers whether the component let it paint at each point.
  LayoutNotice() {
    host.onLayoutChanged = [this] {
      EXPECT_GE(editor.TopRow(), 2);
      EXPECT_LE(editor.TopRow(), editor.MaxTopRow()) << "a range the host can take";
      EXPECT_GE(editor.LeftCol(), 2);
      EXPECT_LE(editor.LeftCol(), editor.MaxLeftCol());
    };
    host.onViewChanged = [this] { lockedRepaint = editor.PaintLocked(); };
    editor.SetTextMetrics(metrics);
    editor.SetViewHost(&host);
    editor.SetClientSize(700, 300);
  }
  ~LayoutNotice() override { editor.SetViewHost(nullptr); }

  int LayoutsDuring(const std::function<void()>& change) {
    const int before = host.layouts;
    change();
    return host.layouts - before;
  }

  FixedMetrics metrics;
  kestrave::test::RecordingViewHost host;
  bool lockedRepaint = false;
};

TEST_F(LayoutNotice, EveryChangeOfRowsColumnsOrSizesTellsTheHost) {
  LoadSize(5000);
  EXPECT_GT(LayoutsDuring([&] { editor.SetBytesPerRow(32); }), 0) << "bytes per row";
  EXPECT_GT(LayoutsDuring([&] { editor.SetBytesPerColumn(4); }), 0) << "bytes per column";
  EXPECT_GT(LayoutsDuring([&] { editor.SetShowRuler(true); }), 0) << "ruler";
  EXPECT_GT(LayoutsDuring([&] { editor.SetUnicodeChars(true); }), 0) << "unicode";
  EXPECT_GT(LayoutsDuring([&] { editor.SetOffsetFormat("-!A:|"); }), 0) << "offsets";
  EXPECT_GT(LayoutsDuring([&] { editor.SetGutterWidth(200); }), 0) << "gutter width";
  platform::FontDescription font = editor.Font();
  font.SetSize(font.Size() + 5);
  EXPECT_GT(LayoutsDuring([&] { editor.SetFont(font); }), 0) << "font";
  EXPECT_GT(LayoutsDuring([&] { editor.AppendBuffer("more", 4, "", false); }), 0) << "data size";
  EXPECT_GT(LayoutsDuring([&] { LoadSize(100); }), 0) << "a load";
}

TEST_F(LayoutNotice, ARowThatFitsAgainIsShownFromItsFirstColumn) {
  LoadSize(5000);
  editor.SetBytesPerRow(64);
  ASSERT_GT(editor.MaxLeftCol(), 2) << "64 bytes do not fit in 700 pixels";
  // The caret at the end of the first row's characters scrolls the view to the right.
  editor.MoveCursorToCell(editor.PositionToCell(63, true));
  ASSERT_GT(editor.LeftCol(), 2);
  editor.SetBytesPerRow(16);
  ASSERT_EQ(editor.MaxLeftCol(), 2) << "16 bytes fit";
  EXPECT_EQ(editor.LeftCol(), 2) << "nothing left scrolled out";
  EXPECT_TRUE(editor.CursorCell().Row > 2 &&
              editor.Geometry().IsCharColumn(editor.CursorCell().Col))
      << "the caret kept its byte and field";
}

TEST_F(LayoutNotice, ShrinkingDataBringsTheTopRowBackIntoRange) {
  LoadSize(5000);
  editor.SetTopRow(editor.MaxTopRow());
  ASSERT_GT(editor.TopRow(), 100);
  editor.SetSelection(20, 4999);
  editor.DeleteSelection("");
  EXPECT_EQ(editor.TopRow(), 2) << "20 bytes fit on the first page";
}

// The view may draw itself while a file loads (progress reports run the window's events); the
// buffer is then half filled yet laid out as an empty one, and must not be shown.
TEST_F(LayoutNotice, ALoadIsDrawnOnlyWhenItIsComplete) {
  LoadSize(100);
  bool lockedDuringLoad = true;
  editor.OnProgress = [&](TCustomHexEditor& e, THexProgressKind, const std::string&, std::uint8_t,
                          bool&) { lockedDuringLoad = lockedDuringLoad && e.PaintLocked(); };
  const int repaints = host.views;
  LoadSize(3 << 20);
  EXPECT_TRUE(lockedDuringLoad);
  EXPECT_FALSE(editor.PaintLocked());
  EXPECT_GT(host.views, repaints);
  EXPECT_FALSE(lockedRepaint) << "the last repaint request comes after the unlock";

  // A load that fails unlocks too.
  editor.OnProgress = [](TCustomHexEditor&, THexProgressKind, const std::string&, std::uint8_t,
                         bool& cancel) { cancel = true; };
  EXPECT_THROW(LoadSize(1 << 20), EHexEditor);
  EXPECT_FALSE(editor.PaintLocked());
  EXPECT_FALSE(lockedRepaint);
}

TEST_F(LayoutNotice, AHostTakenAwayHearsNothingMoreAndTheInstanceWorksHidden) {
  editor.SetViewHost(nullptr);
  const int layouts = host.layouts;
  const int repaints = host.views;
  const std::size_t selections = host.selections.size();
  LoadSize(4096);
  editor.SetBytesPerRow(32);
  editor.SetShowRuler(true);
  editor.SetSelection(3, 90);
  editor.Colors().Set(THexColors::Background, 0x123456);
  EXPECT_EQ(host.layouts, layouts);
  EXPECT_EQ(host.views, repaints);
  EXPECT_EQ(host.selections.size(), selections);
  EXPECT_EQ(host.colors, 0);
  EXPECT_EQ(editor.SelectionCount(), 88);
}

}  // namespace
}  // namespace kestrave::hex::test
