#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/MessageQueue.h"
#include "support/EditorState.h"
#include "support/TempDir.h"

namespace kestrave::hex::test {

using kestrave::test::EditorState;
using kestrave::test::PatternBytes;
using kestrave::test::ReadAll;
using kestrave::test::StateOf;
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

// Runs a call that must fail with an exception of type E, exactly this message and this detail.
template <typename E, typename F>
void ExpectError(F&& call, const std::string& message, const std::string& detail = {}) {
  try {
    call();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
    EXPECT_EQ(e.Detail(), detail);
  }
}

}  // namespace kestrave::hex::test
