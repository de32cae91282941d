#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QPrinter>
#include <QString>

#include "app/hex/HexPrint.h"

class QAction;
class QLabel;
class QSpinBox;

namespace kestrave::app {

class HexPreviewPages;

// File > Print Preview: the printout's pages one under another, as they would print. The
// number of pages comes from the layout, and only the pages in sight are drawn (a few kept), so
// the first shows at once however long the data. Pages are turned with PgUp/PgDn, Home/End
// and the page field, zoomed to the width, to the page or in steps; Print (Ctrl+P) opens the
// print dialog, and Esc closes.
class HexPrintPreview : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexPrintPreview)

 public:
  HexPrintPreview(QWidget* parent, hex::THexEditorEx& editor, const QString& name);
  ~HexPrintPreview() override;

  int PageCount() const { return pages_.PageCount(); }
  // The page at the top of the view (from 1).
  int CurrentPage() const;
  void ShowPage(int page);
  // The whole sheet of page Page drawn at Size, margins and all, as the view shows it.
  QImage PageImage(int page, const QSize& size) const;
  // The paper and margins the pages are laid out on.
  QPageLayout PageLayout() const { return printer_.pageLayout(); }

 private:
  void ShowPosition();

  hex::THexEditorEx& editor_;
  QString name_;
  QPrinter printer_{QPrinter::HighResolution};
  HexPrintPages pages_;
  HexPreviewPages* view_ = nullptr;
  QSpinBox* pageField_ = nullptr;
  QLabel* zoomLabel_ = nullptr;
};

}  // namespace kestrave::app
