#include "view/QtDesktopServices.h"

#include "hexeditor/transfer/FormatChoice.h"
#include "platform/MessageQueue.h"
#include "platform/UserInterface.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/DragDrop.h"

namespace kestrave::view {

QtDesktopServices::QtDesktopServices() {
  platform::SetDefaultMessageQueue(&queue_);
  platform::ole::SetCurrentClipboard(&clipboard_);
  hex::SetCurrentFormatChooser(&chooser_);
  platform::ole::SetCurrentDragLoop(&dragLoop_);
  platform::SetCurrentErrorDisplay(&errors_);
  platform::SetCurrentResponsiveness(&responsiveness_);
}

QtDesktopServices::~QtDesktopServices() {
  platform::SetCurrentResponsiveness(nullptr);
  platform::SetCurrentErrorDisplay(nullptr);
  platform::ole::SetCurrentDragLoop(nullptr);
  hex::SetCurrentFormatChooser(nullptr);
  platform::ole::SetCurrentClipboard(nullptr);
  platform::SetDefaultMessageQueue(nullptr);
}

}  // namespace kestrave::view
