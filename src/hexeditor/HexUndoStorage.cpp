#include "hexeditor/HexUndoStorage.h"

namespace kestrave::hex {

void THexUndoStorage::Reset() {
  records_.SetSize(0);
  records_.SetPosition(0);
}

}  // namespace kestrave::hex
