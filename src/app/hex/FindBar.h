#pragma once

#include <QCoreApplication>
#include <QToolBar>
#include <functional>

class QLabel;

namespace kestrave::app {

// The bar under the data while a search's matches are highlighted: what was searched, how many
// matches there are, and buttons to go to the previous or next one or to close the bar (which
// takes the highlights away).
class FindBar : public QToolBar {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::FindBar)

 public:
  explicit FindBar(QWidget* parent);

  std::function<void()> OnPrevious;
  std::function<void()> OnNext;
  std::function<void()> OnClose;

  // "“needle”: 12 matches", as the window words it.
  void SetSummary(const QString& text);
  QString Summary() const;
  // The action that closes the bar (Esc while it is shown).
  QAction* CloseAction() const { return close_; }

 private:
  QLabel* summary_;
  QAction* close_;
};

}  // namespace kestrave::app
