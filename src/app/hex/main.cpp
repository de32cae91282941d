// kestrave-hex: a hex editor window around the component. kestrave-hex [FILE]
#include <QApplication>

#include "app/hex/HexWindow.h"
#include "hexeditor/transfer/FormatChoice.h"
#include "platform/MessageQueue.h"
#include "platform/UserInterface.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/DragDrop.h"
#include "view/FormatSelDialog.h"
#include "view/QtClipboard.h"
#include "view/QtDragLoop.h"
#include "view/QtErrorDisplay.h"
#include "view/QtMessageQueue.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kestrave-hex"));
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);
  kestrave::view::QtClipboard clipboard;
  kestrave::platform::ole::SetCurrentClipboard(&clipboard);
  kestrave::view::QtFormatChooser chooser;
  kestrave::hex::SetCurrentFormatChooser(&chooser);
  kestrave::view::QtDragLoop dragLoop;
  kestrave::platform::ole::SetCurrentDragLoop(&dragLoop);
  kestrave::view::QtErrorDisplay errors;
  kestrave::platform::SetCurrentErrorDisplay(&errors);
  int result = 0;
  {
    kestrave::app::HexWindow window;
    window.show();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.OpenFile(args.at(1));
    result = application.exec();
  }
  kestrave::platform::SetCurrentErrorDisplay(nullptr);
  kestrave::platform::ole::SetCurrentDragLoop(nullptr);
  kestrave::hex::SetCurrentFormatChooser(nullptr);
  kestrave::platform::ole::SetCurrentClipboard(nullptr);
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
