#pragma once

#include <cstdint>

#include "hexeditor/caret/CaretSelection.h"
#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

// A place in byte terms: a byte, the field that shows it and, in the hex field, whether the low
// digit is meant. Position -1 is nowhere.
struct BytePlace {
  std::int64_t Position = -1;
  bool InCharField = false;
  bool SecondDigit = false;
  bool Somewhere() const { return Position >= 0; }
  bool operator==(const BytePlace&) const = default;
};

// What a component tells the window that shows it, in byte terms: the window alone works out
// the cells and pixels (paint/RepaintAreas). A hidden instance tells a host that lets every
// notice go, so no notice needs a check first.
class IHexViewHost {
 public:
  virtual ~IHexViewHost() = default;
  // Bytes First to Last (both included) show something new: values, change marks, images.
  virtual void BytesChanged(std::int64_t first, std::int64_t last) = 0;
  // The selected bytes were Old and are Now (either may be none).
  virtual void SelectionChanged(const SelectionRange& old, const SelectionRange& now) = 0;
  // The caret went from Old to Now.
  virtual void CaretMoved(const BytePlace& old, const BytePlace& now) = 0;
  // The caret's picture changed without a move in the data: its shape (kind, insert mode,
  // read-only view, font), the focus, or its place in the window (a scroll, a resize).
  virtual void CaretLookChanged() {}
  // The drop marker went from before Old to before Now (nowhere when none shows).
  virtual void DropMarkerMoved(const BytePlace& old, const BytePlace& now) = 0;
  // Everything may show differently (a load, an edit that moved bytes, a mode or a look every
  // cell follows): all is drawn again.
  virtual void ViewChanged() = 0;
  // A colour of the view's colour set changed.
  virtual void ColorsChanged() { ViewChanged(); }
  // The view font changed; the layout already follows it.
  virtual void FontChanged() {}
  // The top-left visible cell moved (before the application's OnTopLeftChanged hears it).
  virtual void TopLeftChanged() {}
  // Rows, columns or their sizes changed (data size, row length, font, ruler, offsets...), and
  // the top-left cell is back within its range: scroll ranges follow, everything is drawn again.
  virtual void LayoutChanged() {}
  // While started, the host calls the component's AutoScrollStep every 50 ms or so; the
  // component starts it when a selection or a drag reaches an edge and stops it after. Answers
  // whether a timer runs: a host without one answers false.
  virtual bool StartAutoScroll() { return false; }
  virtual void StopAutoScroll() {}
  // The window drops onto the view are registered for.
  virtual std::uintptr_t WindowHandle() const { return reinterpret_cast<std::uintptr_t>(this); }
  // A screen point in the coordinates of the grid's client area.
  virtual void ScreenToClient(int& x, int& y) const {
    (void)x;
    (void)y;
  }
};

// The host of an instance no window shows: every notice goes unheard. Each instance has its
// own, whose address stands for the instance's window.
class HiddenViewHost final : public IHexViewHost {
 public:
  void BytesChanged(std::int64_t, std::int64_t) override {}
  void SelectionChanged(const SelectionRange&, const SelectionRange&) override {}
  void CaretMoved(const BytePlace&, const BytePlace&) override {}
  void DropMarkerMoved(const BytePlace&, const BytePlace&) override {}
  void ViewChanged() override {}
};

// The host an instance notifies: the one a view set, or else its own hidden host, so there is
// always one to call.
class ViewHostSlot {
 public:
  ViewHostSlot() = default;
  ViewHostSlot(const ViewHostSlot&) = delete;
  ViewHostSlot& operator=(const ViewHostSlot&) = delete;

  IHexViewHost* operator->() const { return host_; }
  IHexViewHost& operator*() const { return *host_; }
  // None: the instance's own hidden host again.
  void Set(IHexViewHost* host) { host_ = host ? host : &hidden_; }
  // Whether notices go to Host (none: the hidden host).
  bool Is(const IHexViewHost* host) const { return host_ == (host ? host : &hidden_); }

 private:
  HiddenViewHost hidden_;
  IHexViewHost* host_ = &hidden_;
};

}  // namespace kestrave::hex
