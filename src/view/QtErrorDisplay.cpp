#include "view/QtErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace kestrave::view {

void QtErrorDisplay::ShowError(const std::string& message) {
  const QString text = QString::fromStdString(message);
  QTimer::singleShot(0, qApp, [text] {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          text);
  });
}

}  // namespace kestrave::view
