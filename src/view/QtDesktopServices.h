#pragma once

#include "view/FormatSelDialog.h"
#include "view/QtClipboard.h"
#include "view/QtDragLoop.h"
#include "view/QtErrorDisplay.h"
#include "view/QtMessageQueue.h"

namespace kestrave::view {

// The desktop's services for every editor of a program: posted work, the clipboard, the format
// dialog, drags and the error display. Installed for its lifetime; the windows, and the editors
// in them, must be gone before it is.
class QtDesktopServices {
 public:
  QtDesktopServices();
  ~QtDesktopServices();
  QtDesktopServices(const QtDesktopServices&) = delete;
  QtDesktopServices& operator=(const QtDesktopServices&) = delete;

 private:
  QtMessageQueue queue_;
  QtClipboard clipboard_;
  QtFormatChooser chooser_;
  QtDragLoop dragLoop_;
  QtErrorDisplay errors_;
};

}  // namespace kestrave::view
