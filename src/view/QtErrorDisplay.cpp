#include "view/QtErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <QSet>
#include <QTimer>

namespace kestrave::view {
namespace {

// Messages waiting to be shown or on screen. An error that comes back with every paint or every
// clipboard request (memory that stays short, say) is shown once, not once per repetition.
QSet<QString>& OpenMessages() {
  static QSet<QString> messages;
  return messages;
}

}  // namespace

void QtErrorDisplay::ShowError(const std::string& message) {
  const QString text = QString::fromStdString(message);
  if (OpenMessages().contains(text)) return;
  OpenMessages().insert(text);
  QTimer::singleShot(0, qApp, [text] {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          text);
    OpenMessages().remove(text);
  });
}

}  // namespace kestrave::view
