#include "app/hex/FindBar.h"

#include <QAction>
#include <QLabel>

namespace kestrave::app {

FindBar::FindBar(QWidget* parent) : QToolBar(parent), summary_(new QLabel(this)) {
  setObjectName(QStringLiteral("findBar"));
  setWindowTitle(tr("Find"));
  setMovable(false);
  setFloatable(false);
  addWidget(summary_);
  addSeparator();
  QAction* previous = addAction(tr("Previous"), this, [this] {
    if (OnPrevious) OnPrevious();
  });
  addAction(tr("Next"), this, [this] {
    if (OnNext) OnNext();
  });
  close_ = addAction(tr("Close"), this, [this] { hide(); });
  close_->setShortcut(QKeySequence(Qt::Key_Escape));
  // A bar's buttons take no focus; these do, so F6 brings the keys here and Tab, Space use them.
  for (QAction* action : actions())
    if (QWidget* button = widgetForAction(action)) button->setFocusPolicy(Qt::TabFocus);
  setFocusProxy(widgetForAction(previous));
  // Esc reaches the bar wherever the focus is in the window, but only while the bar is shown.
  close_->setShortcutContext(Qt::WindowShortcut);
  // However the bar goes (its button, Esc, the window's menu of bars), the highlights go with
  // it; a window minimised keeps them.
  connect(this, &QToolBar::visibilityChanged, this, [this](bool visible) {
    if (!visible && OnClose) OnClose();
  });
}

void FindBar::SetSummary(const QString& text) {
  summary_->setText(text);
}

QString FindBar::Summary() const {
  return summary_->text();
}

}  // namespace kestrave::app
