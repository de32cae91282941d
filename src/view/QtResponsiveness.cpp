#include "view/QtResponsiveness.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <vector>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace kestrave::view {
namespace {

// On X, Qt keeps the input it held back during work (keys, clicks, and the window manager's
// request to close a window) until the X server next sends something: with the work over and the
// user still, a close asked for during the work waited for the next mouse move. A property
// change on one of our windows, which the server answers with an event, has it handled now.
void WakeHeldBackInput() {
#if QT_CONFIG(xcb)
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 =
      application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return;
  for (const QWindow* window : QGuiApplication::topLevelWindows()) {
    if (!window->handle()) continue;
    static const xcb_atom_t kWake = [connection] {
      static constexpr char kName[] = "_KESTRAVE_WORK_DONE";
      xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
          connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
      const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
      free(reply);
      return atom;
    }();
    if (kWake == XCB_ATOM_NONE) return;
    // Nothing appended: the property stays empty, and the change is all the server reports.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND,
                        static_cast<xcb_window_t>(window->winId()), kWake, XCB_ATOM_CARDINAL, 32, 0,
                        nullptr);
    xcb_flush(connection);
    return;
  }
#endif
}

// The application-wide filter behind WorkScope. It lives as long as the application object.
class WorkGuard : public QObject {
 public:
  explicit WorkGuard(QObject* application) : QObject(application) {
    // A timer, not a posted call: the work lets posted calls through, timers not, so the
    // deferred closes wait until control is back in an ordinary event loop.
    closeLater_.setSingleShot(true);
    closeLater_.setInterval(0);
    connect(&closeLater_, &QTimer::timeout, this, [this] { CloseDeferredWindows(); });
    // The same holds for the input held back during the work.
    wakeLater_.setSingleShot(true);
    wakeLater_.setInterval(0);
    connect(&wakeLater_, &QTimer::timeout, this, [] { WakeHeldBackInput(); });
  }

  void Enter() {
    if (depth_++ == 0) parent()->installEventFilter(this);
  }

  void Leave() {
    if (depth_ == 0 || --depth_ > 0) return;
    parent()->removeEventFilter(this);
    if (!deferred_.empty()) closeLater_.start();
    wakeLater_.start();
  }

  bool Active() const { return depth_ > 0; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Close: {
        if (!watched->isWidgetType()) return false;
        auto* window = static_cast<QWidget*>(watched);
        // Only the window manager's requests wait. A dialog the work itself shows (the format
        // choice of a paste, a progress dialog) closes as usual, when answered or asked to.
        if (!window->isWindow() || !event->spontaneous() || window->isModal()) return false;
        Defer(window);
        event->ignore();
        return true;
      }
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
        static_cast<QDropEvent*>(event)->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return true;
      default:
        return false;
    }
  }

 private:
  void Defer(QWidget* window) {
    for (const QPointer<QWidget>& waiting : deferred_)
      if (waiting == window) return;
    deferred_.emplace_back(window);
  }

  void CloseDeferredWindows() {
    const std::vector<QPointer<QWidget>> windows = std::move(deferred_);
    deferred_.clear();
    for (const QPointer<QWidget>& window : windows)
      if (window) window->close();
  }

  int depth_ = 0;
  std::vector<QPointer<QWidget>> deferred_;
  QTimer closeLater_;
  QTimer wakeLater_;
};

WorkGuard* Guard() {
  static QPointer<WorkGuard> guard;
  if (!guard && QCoreApplication::instance()) guard = new WorkGuard(QCoreApplication::instance());
  return guard;
}

bool OnApplicationThread() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application && QThread::currentThread() == application->thread();
}

}  // namespace

void BeginWork() {
  if (WorkGuard* guard = Guard()) guard->Enter();
}

void EndWork() {
  if (WorkGuard* guard = Guard()) guard->Leave();
}

bool WorkRuns() {
  const WorkGuard* guard = Guard();
  return guard && guard->Active();
}

QtResponsiveness::QtResponsiveness(Clock clock) : clock_(std::move(clock)) {}

void QtResponsiveness::KeepResponsive() {
  // Drawing may itself reach long work (a clipboard request from another program, say): one
  // handling at a time.
  if (handling_ || !OnApplicationThread()) return;
  if (last_ && clock_() - *last_ < kInterval) return;
  struct Handling {
    bool& flag;
    explicit Handling(bool& f) : flag(f) { flag = true; }
    ~Handling() { flag = false; }
  } handling(handling_);
  const WorkScope work;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                  QEventLoop::X11ExcludeTimers);
  // Measured from the end of the handling, so the work always gets the interval to itself.
  last_ = clock_();
}

}  // namespace kestrave::view
