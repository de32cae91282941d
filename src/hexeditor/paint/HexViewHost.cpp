#include "hexeditor/paint/HexViewHost.h"

namespace kestrave::hex {
namespace {

class IgnoringHost final : public IHexViewHost {
 public:
  void InvalidateCell(GridCell) override {}
  void InvalidateRows(int, int) override {}
  void InvalidateAll() override {}
  void PlaceCaret(GridCell) override {}
  void ColorsChanged() override {}
};

}  // namespace

IHexViewHost& IgnoredViewHost() {
  static IgnoringHost host;
  return host;
}

}  // namespace kestrave::hex
