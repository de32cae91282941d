// kestrave-hex: a hex editor window around the component. kestrave-hex [FILE]
#include "app/hex/HexWindow.h"
#include "app/hex/UserLanguage.h"
#include "platform/InterruptCleanup.h"
#include "view/QtDesktopServices.h"
#include "view/QtGuardedApplication.h"

int main(int argc, char** argv) {
  kestrave::platform::RemoveTemporariesOnInterrupt();
  kestrave::view::QtGuardedApplication application(argc, argv);
  const kestrave::app::UserLanguage language;  // the desktop's, before any text is made
  QApplication::setApplicationName(QStringLiteral("kestrave-hex"));
  const kestrave::view::QtDesktopServices services;
  kestrave::app::HexWindow window;  // made after the services, so gone before them
  window.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) window.OpenFile(args.at(1));
  return application.exec();
}
