#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/MessageQueue.h"
#include "support/TempDir.h"

namespace kestrave::hex::test {

using kestrave::test::PatternBytes;
using kestrave::test::ReadAll;
using kestrave::test::TempDir;
using kestrave::test::WriteAll;

// The extended component with its protected block write opened up, to make changes that the
// editing operations would make.
class TestableEditor : public THexEditorEx {
 public:
  using THexEditorEx::BeginUndoUpdate;
  using THexEditorEx::DeleteNibble;
  using THexEditorEx::EndUndoUpdate;
  using THexEditorEx::InsertNibble;
  using THexEditorEx::RecordUndo;
  using THexEditorEx::SetChanged;
  using THexEditorEx::WriteBlock;
};

// Everything an edit may change, to prove that a refused one changed nothing and that undo
// brings back exactly what was there.
struct EditorState {
  std::vector<std::uint8_t> bytes;
  std::vector<bool> marks;
  bool modified = false;
  GridCell cursor;
  int anchor = -1, low = -1, high = -1;
  std::int64_t undoSize = 0;
  int undoCount = 0;
  bool operator==(const EditorState&) const = default;
};

inline EditorState StateOf(const TCustomHexEditor& editor) {
  EditorState state;
  state.bytes.resize(static_cast<std::size_t>(editor.DataSize()));
  editor.ReadBlock(state.bytes.data(), 0, editor.DataSize());
  for (int i = 0; i < editor.DataSize(); ++i)
    state.marks.push_back(editor.IsChanged(i));
  state.modified = editor.Modified();
  state.cursor = editor.CursorCell();
  state.anchor = editor.SelectionAnchor();
  state.low = editor.SelectionLow();
  state.high = editor.SelectionHigh();
  state.undoSize = editor.UndoStorage().Size();
  state.undoCount = editor.UndoStorage().Count();
  return state;
}

inline std::ostream& operator<<(std::ostream& out, const EditorState& s) {
  out << "{size " << s.bytes.size() << ", modified " << s.modified << ", cursor " << s.cursor.Col
      << ',' << s.cursor.Row << ", selection " << s.anchor << '/' << s.low << ".." << s.high
      << ", undo " << s.undoCount << " records " << s.undoSize << " bytes}";
  return out;
}

// An initialised instance with its own message queue, and a folder for its files.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    editor.SetMessageQueue(queue);
    editor.Loaded();
    queue.Pump();
  }

  // Loads the bytes through a file, as the converter does.
  void LoadBytes(const std::vector<std::uint8_t>& bytes, const std::string& name = "data.bin") {
    WriteAll(dir.File(name), bytes);
    editor.LoadFromFile(dir.File(name));
  }
  void LoadSize(std::size_t size) { LoadBytes(PatternBytes(size)); }
  void LoadText(std::string_view text) { LoadBytes({text.begin(), text.end()}); }
  std::string Text() const {
    const auto bytes = Content();
    return {bytes.begin(), bytes.end()};
  }

  std::vector<std::uint8_t> Content() const {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(editor.DataSize()));
    editor.ReadBlock(bytes.data(), 0, editor.DataSize());
    return bytes;
  }

  platform::ManualMessageQueue queue;
  TestableEditor editor;
  TempDir dir;
};

// Runs a call that must fail with an exception of type E and exactly this message.
template <typename E, typename F>
void ExpectError(F&& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

}  // namespace kestrave::hex::test
