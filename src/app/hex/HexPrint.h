#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QRectF>
#include <QString>
#include <array>
#include <functional>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/print/PrintLayout.h"

class QMenu;
class QPainter;
class QPrinter;
class QWidget;

namespace kestrave::app {

// What one printout covers beyond the view's print options.
struct HexPrintChoice {
  // The selection only (all the data while none is made); the print options' pfSelectionOnly
  // is the default the dialogs offer.
  bool SelectionOnly = false;
  // The name the header shows; the editor's file name when empty.
  QString FileName;
};

// Prints the data as the view shows it (offsets, hex field, characters) onto the printer's
// pages, within the print options' margins (millimetres), under a header with the file's name
// and the page number (the options' header and footer texts where set: &f file, &p page,
// &n pages), honouring the printer's page range. Answers the number of pages printed.
class HexPrinting {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexPrinting)

 public:
  static int PrintDocument(hex::THexEditorEx& editor, QPrinter& printer,
                           const HexPrintChoice& choice);
  // The print font: the view's own or the print font, as UseEditorFontForPrinting says, sized
  // for the printer as it is on a 96 dpi screen.
  static QFont PrintFont(const hex::THexEditorEx& editor, const QPrinter& printer);
};

// One printout's pages as the printer lays them out: the font fitted to the page, the rows a page
// holds and so the number of pages, known without drawing any. The printout and the preview
// draw each page through Paint, so that the preview shows what prints.
class HexPrintPages {
 public:
  // Sets the printer's margins to the print options' ones first: they decide the page's size.
  HexPrintPages(hex::THexEditorEx& editor, QPrinter& printer, const HexPrintChoice& choice);

  int PageCount() const { return pages_; }
  // The sheet, and the printable area on it, in the printer's device pixels.
  QRectF PaperRect() const { return paper_; }
  QRectF PageRect() const { return page_; }
  int Resolution() const { return resolution_; }
  // Draws page Page (from 1) with the printable area's top left corner at the origin, in the
  // printer's device pixels, onto a device of the printer's resolution (fonts are in points).
  void Paint(QPainter& painter, int page) const;

 private:
  static constexpr std::size_t kInks = static_cast<std::size_t>(hex::TPrintInk::kCount);

  hex::THexEditorEx& editor_;
  hex::THexPrintLayout layout_;
  QRectF paper_;
  QRectF page_;
  int resolution_ = 0;
  QFont font_;
  QFont bold_;
  qreal line_ = 0;
  qreal ascent_ = 0;
  int rowsPerPage_ = 1;
  int pages_ = 1;
  std::array<QColor, kInks> inks_;
  bool backgrounds_ = false;
  QString fileName_;
  std::string header_;
  std::string footer_;
};

inline int PrintDocument(hex::THexEditorEx& editor, QPrinter& printer,
                         const HexPrintChoice& choice) {
  return HexPrinting::PrintDocument(editor, printer, choice);
}

// What the dialogs offer first: the selection alone when the print options say so and one is
// made, headed by Name.
HexPrintChoice PrintChoiceOf(const hex::THexEditorEx& editor, const QString& name);

// File > Print (Ctrl+P): the desktop's print dialog, with "Selection" offered while one is
// made, then the printout, headed by Name. Answers whether it printed.
bool PrintFile(QWidget* parent, hex::THexEditorEx& editor, const QString& name);
// File > Print Preview: the pages as they would print (HexPrintPreview), from where the print
// dialog can be reached. Modal; answers when it closes.
void PreviewFile(QWidget* parent, hex::THexEditorEx& editor, const QString& name);

// The editor a window's commands act on now (its current tab's), or none.
using CurrentEditor = std::function<hex::THexEditorEx*()>;
// Adds "Print..." (Ctrl+P) and "Print Preview..." to Menu, acting on the editor Current gives
// when chosen, headed by the name DocumentName gives for it. Parent owns the actions and the
// dialogs.
void AddPrintActions(QMenu& menu, QWidget* parent, CurrentEditor current);

}  // namespace kestrave::app
