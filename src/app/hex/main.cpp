// kestrave-hex: a hex editor window around the component. kestrave-hex [FILE...]
#include <string>

#include "app/hex/HexWindow.h"
#include "app/hex/UserLanguage.h"
#include "platform/InterruptCleanup.h"
#include "view/QtDesktopServices.h"
#include "view/QtGuardedApplication.h"

int main(int argc, char** argv) {
  kestrave::platform::RemoveTemporariesOnInterrupt();
  // Takes Qt's own options (-platform ...) out of argv.
  kestrave::view::QtGuardedApplication application(argc, argv);
  const kestrave::app::UserLanguage language;  // the desktop's, before any text is made
  QApplication::setApplicationName(QStringLiteral("kestrave-hex"));
  const kestrave::view::QtDesktopServices services;
  kestrave::app::HexWindow window;  // made after the services, so gone before them
  window.show();
  // Each file in a tab of its own, the last one in front. The names' bytes as given:
  // QApplication::arguments() decodes them as UTF-8 and would lose a name in another encoding.
  for (int k = 1; k < argc; ++k)
    window.OpenInTab(std::string(argv[k]));
  return application.exec();
}
