#include "view/QtMessageQueue.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace kestrave::view {

void QtMessageQueue::Post(std::function<void()> message) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(message), Qt::QueuedConnection);
}

}  // namespace kestrave::view
