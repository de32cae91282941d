#include "view/QtBusyIndicator.h"

#include <QCursor>
#include <QGuiApplication>

#include "view/QtResponsiveness.h"

namespace kestrave::view {

void QtBusyIndicator::BeginBusy() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  BeginWork();
}

void QtBusyIndicator::EndBusy() {
  EndWork();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace kestrave::view
