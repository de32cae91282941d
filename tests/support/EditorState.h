#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "hexeditor/CustomHexEditor.h"

namespace kestrave::test {

// Everything an edit may change, to prove that a refused one changed nothing and that undo
// brings back exactly what was there.
struct EditorState {
  std::vector<std::uint8_t> bytes;
  std::vector<bool> marks;
  bool modified = false;
  hex::GridCell cursor;
  int anchor = -1, low = -1, high = -1;
  std::int64_t undoSize = 0;
  int undoCount = 0;
  bool operator==(const EditorState&) const = default;
};

inline EditorState StateOf(const hex::TCustomHexEditor& editor) {
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

// What undo must bring back of a step: bytes, modified flag, caret and selection; the marks and
// the history's own size are left out (a redo puts back the record, not the same stream).
inline EditorState UndoneStateOf(const hex::TCustomHexEditor& editor) {
  EditorState state = StateOf(editor);
  state.marks.clear();
  state.undoSize = 0;
  state.undoCount = 0;
  return state;
}

}  // namespace kestrave::test
