// kestrave-hex: a hex editor window around the component. kestrave-hex [FILE]
#include <QApplication>

#include "app/hex/HexWindow.h"
#include "view/QtDesktopServices.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kestrave-hex"));
  const kestrave::view::QtDesktopServices services;
  kestrave::app::HexWindow window;  // made after the services, so gone before them
  window.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) window.OpenFile(args.at(1));
  return application.exec();
}
