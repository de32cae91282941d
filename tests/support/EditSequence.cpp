#include "support/EditSequence.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"
#include "support/EditorState.h"

namespace kestrave::test {
namespace {

using hex::GridCell;
using hex::THexEditorEx;
using Bytes = std::vector<std::uint8_t>;

using Snapshot = EditorState;

Snapshot Take(const THexEditorEx& e) {
  return UndoneStateOf(e);
}

std::string Describe(const Snapshot& s) {
  std::ostringstream out;
  out << "size " << s.bytes.size() << " modified " << s.modified << " cursor " << s.cursor.Col
      << ',' << s.cursor.Row << " selection " << s.anchor << '/' << s.low << ".." << s.high;
  return out.str();
}

class Player {
 public:
  explicit Player(const std::function<std::uint32_t(std::uint32_t)>& next) : next_(next) {
    editor_.SetMessageQueue(queue_);
    editor_.Loaded();
    Bytes start(Pick(40));
    for (auto& b : start)
      b = static_cast<std::uint8_t>(Pick(256));
    hex::THexMemoryStream stream;
    stream.Write(start.data(), static_cast<std::int64_t>(start.size()));
    editor_.LoadFromStream(stream);
    model_ = start;
    // Not part of what undo restores, so fixed for the whole sequence.
    editor_.SetNoSizeChange(Pick(4) == 0);
  }

  std::string Play(int steps) {
    for (int step = 0; step < steps; ++step) {
      Arrange();
      const Snapshot before = Take(editor_);
      const int records = editor_.UndoStorage().Count();
      std::string what;
      Bytes expected = model_;
      bool refused = false;
      try {
        what = Operate(expected);
      } catch (const hex::EHexEditor&) {
        refused = true;
      }
      if (refused) {
        if (!(Take(editor_) == before)) return "a refused " + what + " changed the state";
        continue;
      }
      if (Take(editor_).bytes != expected) return "bytes differ after " + what;
      model_ = expected;
      if (editor_.UndoStorage().Count() != records) done_.push_back({what, before, Take(editor_)});
      queue_.Pump();
    }
    return Unwind();
  }

 private:
  struct Done {
    std::string what;
    Snapshot before;
    Snapshot after;
  };

  std::uint32_t Pick(std::uint32_t n) { return n == 0 ? 0 : next_(n); }
  int Size() const { return editor_.DataSize(); }

  // Modes and a cursor or selection to act on; none of this is an undoable step.
  void Arrange() {
    if (Pick(4) == 0) editor_.SetInsertMode(Pick(2) == 0);
    if (Pick(5) == 0) editor_.SetBytesPerUnit(1 << Pick(4));
    if (Size() == 0) return;
    editor_.SetSelectionStart(static_cast<int>(Pick(static_cast<std::uint32_t>(Size()))));
    if (Pick(3) == 0) editor_.SetInCharField(true);
    if (Pick(2) == 0)
      editor_.SetSelectionEnd(static_cast<int>(Pick(static_cast<std::uint32_t>(Size()))));
    if (editor_.InsertMode() && Pick(4) == 0)
      editor_.MoveCursorToCell(editor_.PositionToCell(Size(), editor_.InCharField()));
  }

  Bytes Payload() {
    Bytes bytes(1 + Pick(12));
    for (auto& b : bytes)
      b = static_cast<std::uint8_t>(Pick(256));
    return bytes;
  }

  bool Restricted() const { return editor_.NoSizeChange(); }
  int AlignDown(int p) const { return p - p % editor_.BytesPerUnit(); }

  // Runs one operation on the component and its expected effect on the model.
  std::string Operate(Bytes& m) {
    const int n = Size();
    const bool selected = editor_.SelectionCount() > 0;
    const int low = editor_.SelectionLow();
    const int length = editor_.SelectionCount();
    const int cursor = editor_.CursorPosition();
    switch (Pick(9)) {
      case 0: {
        const int i = static_cast<int>(Pick(static_cast<std::uint32_t>(std::max(n, 1))));
        const std::uint8_t old = n > 0 ? m[static_cast<std::size_t>(i)] : 0;
        const auto value = static_cast<std::uint8_t>(old + 1 + Pick(255));
        editor_.ChangeByte(old, value, i, 2, 2, "");
        m[static_cast<std::size_t>(i)] = value;
        return "ChangeByte";
      }
      case 1: {
        if (n < 2) return "nothing";
        const int i = static_cast<int>(Pick(static_cast<std::uint32_t>(n - 1)));
        const auto old = static_cast<std::uint16_t>(m[i] | (m[i + 1] << 8));
        const auto value = static_cast<std::uint16_t>(old ^ (1 + Pick(0xFFFF)));
        editor_.ChangeWord(old, value, i, 2, 2, "");
        m[i] = static_cast<std::uint8_t>(value & 0xFF);
        m[i + 1] = static_cast<std::uint8_t>(value >> 8);
        return "ChangeWord";
      }
      case 2: {
        const Bytes p = Payload();
        const int at = static_cast<int>(Pick(static_cast<std::uint32_t>(n + 1)));
        editor_.InsertBuffer(p.data(), static_cast<int>(p.size()), at, "", Pick(2) == 0);
        m.insert(m.begin() + at, p.begin(), p.end());
        return "InsertBuffer";
      }
      case 3: {
        const Bytes p = Payload();
        editor_.AppendBuffer(p.data(), static_cast<int>(p.size()), "", Pick(2) == 0);
        m.insert(m.end(), p.begin(), p.end());
        return "AppendBuffer";
      }
      case 4: {
        Bytes p = Payload();
        const auto caret = static_cast<int>(
            std::min<std::int64_t>(editor_.CellToPosition(editor_.CursorCell()), n));
        editor_.ReplaceSelection(p.data(), static_cast<int>(p.size()), "", Pick(2) == 0);
        if (!selected) {
          m.insert(m.begin() + caret, p.begin(), p.end());
        } else {
          if (Restricted())
            p.resize(std::min<std::size_t>(p.size(), static_cast<std::size_t>(length)));
          const int replaced = Restricted() ? static_cast<int>(p.size()) : length;
          m.erase(m.begin() + low, m.begin() + low + replaced);
          m.insert(m.begin() + low, p.begin(), p.end());
        }
        return "ReplaceSelection";
      }
      case 5: {
        Bytes p = Payload();
        const int at = static_cast<int>(Pick(static_cast<std::uint32_t>(n + 1)));
        int oldCount = static_cast<int>(Pick(static_cast<std::uint32_t>(n - at + 2)));
        int newCount = Pick(3) == 0 ? oldCount : static_cast<int>(p.size());
        if (static_cast<std::size_t>(newCount) > p.size())
          p.resize(static_cast<std::size_t>(newCount), 0x77);
        editor_.Replace(p.data(), at, oldCount, newCount, "", true);
        if (oldCount > n - at) {
          if (oldCount == newCount) newCount = n - at;
          oldCount = n - at;
        }
        if (Restricted()) oldCount = newCount = std::min(oldCount, newCount);
        m.erase(m.begin() + at, m.begin() + at + oldCount);
        m.insert(m.begin() + at, p.begin(), p.begin() + newCount);
        return "Replace";
      }
      case 6: {
        editor_.DeleteSelection("");
        const int start = selected ? low : cursor;
        const int count = selected ? length : 1;
        m.erase(m.begin() + start, m.begin() + start + count);
        return "DeleteSelection";
      }
      case 7: {
        const int p = AlignDown(cursor);
        editor_.DeleteUnit(false, "");
        if (p < n) {
          const int count = std::min(editor_.BytesPerUnit(), n - p);
          m.erase(m.begin() + p, m.begin() + p + count);
        }
        return "DeleteUnit forward";
      }
      default: {
        const int unit = editor_.BytesPerUnit();
        int end = AlignDown(cursor);
        int count = unit;
        if (editor_.InsertMode() && !selected) {
          const auto underCaret = static_cast<int>(
              std::min<std::int64_t>(editor_.CellToPosition(editor_.CursorCell()), n));
          if (underCaret == n && n % unit != 0) {
            end = n;
            count = 1;
          } else {
            end = AlignDown(underCaret);
          }
        }
        editor_.DeleteUnit(true, "");
        if (end > 0) m.erase(m.begin() + end - std::min(count, end), m.begin() + end);
        return "DeleteUnit backward";
      }
    }
  }

  // Redo brings back the state from just before the undo: the bytes after the step, and the
  // caret and selection of that moment.
  std::string Unwind() {
    Snapshot beforeLastUndo;
    for (auto step = done_.rbegin(); step != done_.rend(); ++step) {
      if (!editor_.CanUndo()) return "nothing to undo for " + step->what;
      beforeLastUndo = Take(editor_);
      if (beforeLastUndo.bytes != step->after.bytes)
        return "bytes drifted before undoing " + step->what;
      editor_.Undo();
      const Snapshot now = Take(editor_);
      if (!(now == step->before))
        return "undo of " + step->what + " gives " + Describe(now) + ", expected " +
               Describe(step->before) + (now.bytes == step->before.bytes ? " (bytes agree)" : "");
    }
    if (editor_.CanUndo()) return "undo left after the last step";
    if (done_.empty()) return "";
    if (!editor_.CanRedo()) return "no redo of " + done_.front().what;
    editor_.Redo();
    const Snapshot now = Take(editor_);
    if (!(now == beforeLastUndo))
      return "redo of " + done_.front().what + " gives " + Describe(now) + ", expected " +
             Describe(beforeLastUndo);
    return "";
  }

  const std::function<std::uint32_t(std::uint32_t)>& next_;
  platform::ManualMessageQueue queue_;
  THexEditorEx editor_;
  Bytes model_;
  std::vector<Done> done_;
};

}  // namespace

std::string PlayEditSequence(const std::function<std::uint32_t(std::uint32_t)>& next, int steps) {
  Player player(next);
  return player.Play(steps);
}

}  // namespace kestrave::test
