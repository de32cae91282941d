#pragma once

#include "view/FormatSelDialog.h"
#include "view/QtClipboard.h"
#include "view/QtDesktopTranslations.h"
#include "view/QtDragLoop.h"
#include "view/QtErrorDisplay.h"
#include "view/QtMessageQueue.h"
#include "view/QtResponsiveness.h"

namespace kestrave::view {

// The desktop's services for every editor of a program: posted work, the clipboard, the format
// dialog, drags, the error display, windows that keep drawing during long work, and Qt's own
// texts in the desktop's language. Installed for its lifetime; the windows, and the editors in
// them, must be made after it and be gone before it is.
class QtDesktopServices {
 public:
  QtDesktopServices();
  ~QtDesktopServices();
  QtDesktopServices(const QtDesktopServices&) = delete;
  QtDesktopServices& operator=(const QtDesktopServices&) = delete;

 private:
  QtDesktopTranslations translations_;
  QtMessageQueue queue_;
  QtClipboard clipboard_;
  QtFormatChooser chooser_;
  QtDragLoop dragLoop_;
  QtErrorDisplay errors_;
  QtResponsiveness responsiveness_;
};

}  // namespace kestrave::view
