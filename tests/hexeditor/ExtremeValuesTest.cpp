// Every setter of the component and every property of the settings text, given the values at
// the edges of what its type holds: it either takes the value and lays out, paints, moves and
// selects with it, or refuses it with a message and changes nothing. Run under the sanitizers,
// an overflow anywhere in the arithmetic that follows is a failure.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/input/Keys.h"
#include "hexeditor/paint/PaintModel.h"
#include "hexeditor/settings/EditorProperties.h"
#include "platform/Exception.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

// A canvas that only measures, as a fixed-pitch font would.
class NullCanvas : public IHexCanvas {
 public:
  void FillRect(const PaintRect&, TColor) override {}
  void DrawText(const PaintRect&, int, int, std::u16string_view, TColor, TColor) override {}
  void DrawLine(int, int, int, int, TColor) override {}
  void DrawFocusRect(const PaintRect&) override {}
  void DrawFrame(const PaintRect&, TColor) override {}
  void DrawImage(int, int, const TBookmarkImage&) override {}
  int TextWidth(std::u16string_view text) override { return 8 * static_cast<int>(text.size()); }
};

constexpr int kIntEdges[] = {INT_MIN, INT_MIN + 1, -2, -1, 0, 1, 2, INT_MAX - 1, INT_MAX};

// The texts of a property's values at the edges of its type and beyond them.
std::vector<std::string> EdgeTexts(const TPublishedProperty& property) {
  switch (property.Kind) {
    case TPropertyKind::Integer: {
      std::vector<std::string> texts = {"-9223372036854775808",
                                        "-2147483649",
                                        "2147483648",
                                        "4294967295",
                                        "4294967296",
                                        "9223372036854775807",
                                        "$7FFFFFFF",
                                        "$FFFFFFFF",
                                        "255",
                                        "256",
                                        "65535",
                                        "65536"};
      for (const int value : kIntEdges)
        texts.push_back(std::to_string(value));
      return texts;
    }
    case TPropertyKind::Boolean:
      return {"True", "False"};
    case TPropertyKind::Char:
      return {"#0", "#255", "#", "~"};
    case TPropertyKind::String:
      return {"", std::string(70000, 'w'), "#0", "'#13#10'", "%s%n%d"};
    case TPropertyKind::Enumeration:
    case TPropertyKind::Set: {
      std::vector<std::string> texts(property.Identifiers.begin(), property.Identifiers.end());
      if (property.Kind == TPropertyKind::Set) {
        std::string all = "[";
        for (const std::string_view identifier : property.Identifiers)
          all += std::string(identifier) + ",";
        all.back() = ']';
        texts.push_back(all);
        texts.push_back("[]");
      }
      return texts;
    }
    case TPropertyKind::Class:
      break;
  }
  return {};
}

// Every value property the settings text knows, hidden ones included, by dotted name.
std::vector<std::string> AllValuePropertyNames() {
  THexEditorEx probe;
  std::vector<std::string> names;
  ForEachValueProperty(
      EditorPublishedClass(), &probe,
      [&](const std::string& name, const TPublishedProperty&, void*) { names.push_back(name); });
  return names;
}

// Every value property's text form: what a refused value must leave as it was.
std::map<std::string, std::string> PropertyValues(THexEditorEx& editor) {
  std::map<std::string, std::string> values;
  ForEachValueProperty(EditorPublishedClass(), &editor,
                       [&](const std::string& name, const TPublishedProperty& property,
                           void* owner) { values[name] = property.Get(owner); });
  return values;
}

// An initialised editor in a view of 640 x 300 pixels.
class ViewedEditor : public TestableEditor {
 public:
  explicit ViewedEditor(platform::IMessageQueue& queue) {
    SetMessageQueue(queue);
    Loaded();
    SetClientSize(640, 300);
  }

  void LoadZeros(std::int64_t size) {
    THexMemoryStream bytes;
    bytes.SetSize(size);
    LoadFromStream(bytes);
  }

  // What a view does with the editor: lay out, paint, scroll to the far corner, move to the end
  // and select, click and drag, for an empty buffer, one byte and a few rows.
  void UseAsAView() {
    for (const std::int64_t size : {0, 1, 2, 4099, 4100}) {
      if (UnicodeChars() && size % 2 != 0) continue;
      LoadZeros(size);
      SetClientSize(640, 300);
      Paint();
      SetTopRow(INT_MAX);
      SetLeftCol(INT_MAX);
      Paint();
      KeyDown(vkEnd, ssCtrl);
      KeyDown(vkRight, ssShift);
      KeyDown(vkPrior, ssShift);
      SelectAll();
      Paint();
      KeyDown(vkHome, ssCtrl);
      CellAtPoint(639, 299);
      CellAtPoint(INT_MAX, INT_MAX);
      CaretRect();
      VisibleColCount();
      MouseDown(TMouseButton::Left, ssLeft, 600, 250);
      MouseMove(ssLeft, INT_MAX, INT_MAX);
      MouseUp(TMouseButton::Left, 0, INT_MIN, INT_MIN);
      Paint();
    }
  }

  void Paint() {
    NullCanvas canvas;
    THexPaintModel model(*this);
    model.Paint(canvas, {0, 0, ClientWidth(), ClientHeight()});
    model.Paint(canvas, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  }
};

class ExtremeValues : public ::testing::Test {
 protected:
  platform::ManualMessageQueue queue;
};

TEST_F(ExtremeValues, EverySettingsPropertyTakesAValueItCanLayOutOrRefusesItUnchanged) {
  for (const std::string& name : AllValuePropertyNames()) {
    ViewedEditor probe(queue);
    const TPublishedProperty* property = nullptr;
    void* owner = nullptr;
    ASSERT_TRUE(ResolveValueProperty(EditorPublishedClass(), &probe, name, property, owner));
    for (const std::string& text : EdgeTexts(*property)) {
      SCOPED_TRACE(name + "=" + text.substr(0, 40));
      ViewedEditor editor(queue);
      ASSERT_TRUE(ResolveValueProperty(EditorPublishedClass(), &editor, name, property, owner));
      const std::map<std::string, std::string> before = PropertyValues(editor);
      try {
        property->Set(owner, text);
      } catch (const platform::Exception& e) {
        EXPECT_FALSE(e.Message().empty());
        EXPECT_EQ(PropertyValues(editor), before) << "a refused value changes nothing";
        continue;
      }
      const std::string written = editor.GetSettingsText();
      ViewedEditor copy(queue);
      copy.SetSettingsText(written);
      EXPECT_EQ(copy.GetSettingsText(), written) << "what is taken reads back the same";
      editor.UseAsAView();
      queue.Pump();
    }
  }
}

// A setter or operation called with an edge value: it works, or refuses with a message of the
// component (an EHexEditor or another error of the system), never anything else.
template <typename F>
void TakesOrRefuses(F&& call) {
  try {
    call();
  } catch (const platform::Exception& e) {
    EXPECT_FALSE(e.Message().empty());
  }
}

TEST_F(ExtremeValues, CursorSelectionAndBookmarkSettersTakeAnyIntOrRefuseIt) {
  ViewedEditor editor(queue);
  for (const int a : kIntEdges) {
    SCOPED_TRACE(a);
    editor.LoadZeros(100);
    TakesOrRefuses([&] { editor.SetSelectionStart(a); });
    TakesOrRefuses([&] { editor.SetSelectionEnd(a); });
    for (const int b : kIntEdges) {
      editor.SetSelection(a, b);
      EXPECT_GE(editor.SelectionLow(), 0);
      EXPECT_LE(editor.SelectionHigh(), 99);
      TakesOrRefuses([&] { editor.Seek(a, b); });
      for (const int origin : {0, 1, 2})
        TakesOrRefuses([&] { editor.Seek(a, origin); });
      TakesOrRefuses([&] { editor.SetBookmark(a, b, (a & 1) != 0); });
    }
    TakesOrRefuses([&] { editor.SetBookmark(a % 10 < 0 ? -(a % 10) : a % 10, a, false); });
    TakesOrRefuses([&] { editor.GotoBookmark(a); });
    for (int k = 0; k < 10; ++k)
      TakesOrRefuses([&] { editor.GotoBookmark(k); });
    editor.IsSelected(a);
    editor.IsChanged(a);
    editor.Paint();
  }
}

TEST_F(ExtremeValues, ViewportSettersTakeAnyIntAndKeepTheirLimits) {
  ViewedEditor editor(queue);
  editor.LoadZeros(5000);
  for (const int a : kIntEdges) {
    SCOPED_TRACE(a);
    for (const int b : kIntEdges) {
      editor.SetClientSize(a, b);
      EXPECT_GE(editor.ClientWidth(), 0);
      EXPECT_GE(editor.ClientHeight(), 0);
      editor.SetTopRow(a);
      editor.SetLeftCol(b);
      EXPECT_GE(editor.TopRow(), 2);
      EXPECT_LE(editor.TopRow(), editor.MaxTopRow());
      EXPECT_GE(editor.LeftCol(), 2);
      EXPECT_LE(editor.LeftCol(), editor.MaxLeftCol());
      editor.CellAtPoint(a, b);
      editor.CellRect({a, b});
      editor.SetDropMarkerCell({a, b});
      editor.ShowDropMarker(a, b);
      editor.MouseDown(TMouseButton::Left, ssLeft, a, b);
      editor.MouseMove(ssLeft | ssShift, b, a);
      editor.MouseUp(TMouseButton::Left, 0, a, b);
      editor.ArrowCursorAt(a, b, 0);
      editor.ShowsOffsetPopupAt(a, b);
      editor.Paint();
    }
    editor.HideDropMarker();
    editor.PositionToCell(std::int64_t{a} * 4, (a & 1) != 0);
    editor.SetClientSize(640, 300);
    editor.Paint();
  }
}

TEST_F(ExtremeValues, EditsTakePositionsAndCountsInRangeAndRefuseTheRestUnchanged) {
  ViewedEditor editor(queue);
  const std::vector<int> edges(std::begin(kIntEdges), std::end(kIntEdges));
  for (const int position : edges) {
    for (const int count : edges) {
      SCOPED_TRACE(std::to_string(position) + " / " + std::to_string(count));
      editor.LoadZeros(100);
      const EditorState before = StateOf(editor);
      // No buffer: inserted and replaced bytes are zeros, so any count is safe to offer.
      try {
        editor.InsertBuffer(nullptr, count, position, "insert", true);
      } catch (const platform::Exception&) {
        EXPECT_EQ(StateOf(editor), before) << "a refused insertion changes nothing";
      }
      for (const int newCount : edges) {
        editor.LoadZeros(100);
        const EditorState loaded = StateOf(editor);
        try {
          editor.Replace(nullptr, position, count, newCount, "replace", (newCount & 1) != 0);
        } catch (const platform::Exception&) {
          EXPECT_EQ(StateOf(editor), loaded) << "a refused replacement changes nothing";
        }
        EXPECT_LE(editor.DataSize(), 201);
      }
      editor.LoadZeros(100);
      TakesOrRefuses([&] { editor.ChangeByte(0, 1, position, 0, 0, "byte"); });
      TakesOrRefuses([&] { editor.ChangeWord(0, 1, position, 0, 0, "word"); });
      const std::uint8_t pattern[] = {0, 0, 0};
      for (const int length : {-1, 0, 1, 3})
        TakesOrRefuses([&] { editor.FindBytes(pattern, length, position, count, false); });
      editor.Paint();
    }
  }
}

TEST_F(ExtremeValues, UndoKeepsAnyLimitAndStillUndoes) {
  ViewedEditor editor(queue);
  const std::uint8_t bytes[] = {1, 2, 3, 4};
  for (const int limit : kIntEdges) {
    SCOPED_TRACE(limit);
    editor.LoadZeros(10);
    editor.SetMaxUndo(limit);
    for (int step = 0; step < 20; ++step)
      editor.InsertBuffer(bytes, 4, step, "step", false);
    EXPECT_EQ(editor.DataSize(), 90);
    while (editor.CanUndo())
      editor.Undo();
    EXPECT_LE(editor.DataSize(), 90);
    EXPECT_GE(editor.DataSize(), 10);
  }
}

TEST_F(ExtremeValues, LayoutSettersTakeWhatTheyCanLayOutOrRefuseWithTheirMessage) {
  for (const int value : kIntEdges) {
    SCOPED_TRACE(value);
    const std::vector<std::function<void(ViewedEditor&)>> setters = {
        [&](ViewedEditor& e) { e.SetBytesPerRow(value); },
        [&](ViewedEditor& e) { e.SetBytesPerColumn(value); },
        [&](ViewedEditor& e) { e.SetBytesPerUnit(value); },
        [&](ViewedEditor& e) { e.SetRulerBytesPerUnit(value); },
        [&](ViewedEditor& e) { e.SetBytesPerBlock(value); },
        [&](ViewedEditor& e) { e.SetGutterWidth(value); },
        [&](ViewedEditor& e) { e.SetRulerNumberBase(static_cast<std::uint8_t>(value)); },
        [&](ViewedEditor& e) {
          e.SetFont({"Courier New", value});
        },
        [&](ViewedEditor& e) {
          platform::FontDescription font = e.Font();
          font.SetSize(value);
          e.SetFont(font);
        },
        [&](ViewedEditor& e) {
          e.SetPrintFont({"Courier New", value});
        },
        [&](ViewedEditor& e) { e.PrintOptions().SetMarginLeft(value); },
    };
    for (std::size_t k = 0; k < setters.size(); ++k) {
      SCOPED_TRACE("setter " + std::to_string(k));
      ViewedEditor editor(queue);
      editor.SetShowRuler(true);
      editor.SetSeparateBlocksInCharField(true);
      const std::map<std::string, std::string> before = PropertyValues(editor);
      try {
        setters[k](editor);
      } catch (const platform::Exception& e) {
        EXPECT_FALSE(e.Message().empty());
        EXPECT_EQ(PropertyValues(editor), before) << "a refused value changes nothing";
        continue;
      }
      editor.UseAsAView();
      queue.Pump();
    }
  }
}

// Ctrl+Shift+wheel grows the font; past 999 points the view's settings text would hold a size
// that reading it refuses, so zooming stops there.
TEST_F(ExtremeValues, ZoomingTheFontStopsAtTheLargestSizeTheSettingsTextReadsBack) {
  ViewedEditor editor(queue);
  editor.SetZoomOnWheel(true);
  platform::FontDescription font = editor.Font();
  font.SetSize(TCustomHexEditor::kLargestFontPoints - 1);
  editor.SetFont(font);
  EXPECT_TRUE(editor.MouseWheel(false, ssCtrl | ssShift));
  EXPECT_EQ(editor.Font().Size(), TCustomHexEditor::kLargestFontPoints);
  EXPECT_FALSE(editor.MouseWheel(false, ssCtrl | ssShift)) << "no larger";
  EXPECT_EQ(editor.Font().Height, TCustomHexEditor::kLargestFontHeight);
  ViewedEditor copy(queue);
  EXPECT_NO_THROW(copy.SetSettingsText(editor.GetSettingsText()));
  EXPECT_EQ(copy.Font(), editor.Font());
  EXPECT_TRUE(editor.MouseWheel(true, ssCtrl | ssShift)) << "and smaller again";
}

TEST_F(ExtremeValues, AFontOutsideWhatAViewLaysOutIsRefusedWithItsMessage) {
  ViewedEditor editor(queue);
  const platform::FontDescription kept = editor.Font();
  for (const int height : {INT_MIN, -1, 0, TCustomHexEditor::kLargestFontHeight + 1, INT_MAX}) {
    platform::FontDescription font = kept;
    font.Height = height;
    ExpectError<EHexEditor>([&] { editor.SetFont(font); },
                            "Invalid font height " + std::to_string(height) + ", allowed: 1..1332");
    EXPECT_EQ(editor.Font(), kept);
  }
  platform::FontDescription largest = kept;
  largest.Height = TCustomHexEditor::kLargestFontHeight;
  editor.SetFont(largest);
  EXPECT_EQ(editor.Font(), largest);
}

}  // namespace
}  // namespace kestrave::hex::test
