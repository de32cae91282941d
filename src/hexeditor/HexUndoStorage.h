#pragma once

#include "hexeditor/HexMemoryStream.h"

namespace kestrave::hex {

// The undo history of one buffer: records of every modification, newest last.
class THexUndoStorage {
 public:
  // Forgets every record and the redo step.
  void Reset();
  // Depth of suspension: while above 0 the history is neither recorded nor reset by a load.
  int UpdateCount() const { return updateCount_; }
  std::int64_t Size() { return records_.Size(); }

 private:
  THexMemoryStream records_;
  int updateCount_ = 0;
};

}  // namespace kestrave::hex
