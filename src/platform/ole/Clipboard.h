#pragma once

#include "platform/ole/DataObject.h"

namespace kestrave::platform::ole {

// The clipboard as the component uses it: one data object at a time, read by anyone.
class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // Puts a data object on the clipboard (taking a reference); nullptr empties it.
  virtual HResult SetClipboard(IDataObject* data) = 0;
  // The clipboard's content as a data object (an empty one when nothing is there).
  virtual HResult GetClipboard(ComPtr<IDataObject>& data) = 0;
  // S_OK when the clipboard holds exactly this object, else S_FALSE.
  virtual HResult IsCurrentClipboard(IDataObject* data) = 0;
  // Renders every format of the object on the clipboard and lets the object go, so the data
  // stays readable without it.
  virtual HResult FlushClipboard() = 0;
  // Empties the clipboard through its plain access; false when it cannot be opened.
  virtual bool EmptyClipboard() = 0;
};

// A clipboard inside this process: for the command line and the tests.
class InProcessClipboard : public IClipboard {
 public:
  HResult SetClipboard(IDataObject* data) override;
  HResult GetClipboard(ComPtr<IDataObject>& data) override;
  HResult IsCurrentClipboard(IDataObject* data) override;
  HResult FlushClipboard() override;
  bool EmptyClipboard() override;

  // As if another program held the clipboard open: nothing can be set or emptied.
  void SetHeldOpenElsewhere(bool held) { heldElsewhere_ = held; }
  IDataObject* Content() const { return content_.Get(); }

 private:
  ComPtr<IDataObject> content_;
  bool heldElsewhere_ = false;
};

// The clipboard the component talks to. Until a program installs another, a process-wide
// InProcessClipboard.
IClipboard& CurrentClipboard();
InProcessClipboard& ProcessClipboard();
void SetCurrentClipboard(IClipboard* clipboard);

// Renders every format a data object enumerates into a data object of its own.
ComPtr<IDataObject> RenderAll(IDataObject& source);

}  // namespace kestrave::platform::ole
