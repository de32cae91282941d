#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <utility>

namespace kestrave::view {

// Work that many changes in a row ask for (a Replace All makes thousands) runs once, when the
// event loop next gets to it; asked again meanwhile, it is not queued twice.
class QueuedOnce {
 public:
  QueuedOnce(QObject* context, std::function<void()> work)
      : context_(context), work_(std::move(work)) {}
  void Request() {
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        context_,
        [this] {
          pending_ = false;
          work_();
        },
        Qt::QueuedConnection);
  }
  // The work was done meanwhile by other means: the queued run finds nothing left to do.
  bool Pending() const { return pending_; }

 private:
  QObject* context_;
  std::function<void()> work_;
  bool pending_ = false;
};

}  // namespace kestrave::view
