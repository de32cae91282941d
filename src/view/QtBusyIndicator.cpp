#include "view/QtBusyIndicator.h"

#include <QCursor>
#include <QGuiApplication>

namespace kestrave::view {

void QtBusyIndicator::BeginBusy() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtBusyIndicator::EndBusy() {
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace kestrave::view
