#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QString>
#include <functional>

#include "hexeditor/HexEditorEx.h"

class QMenu;
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

inline int PrintDocument(hex::THexEditorEx& editor, QPrinter& printer,
                         const HexPrintChoice& choice) {
  return HexPrinting::PrintDocument(editor, printer, choice);
}

// File > Print (Ctrl+P): the desktop's print dialog, with "Selection" offered while one is
// made, then the printout, headed by Name. Answers whether it printed.
bool PrintFile(QWidget* parent, hex::THexEditorEx& editor, const QString& name);
// File > Print Preview: the pages as they would print, from where the print dialog can be
// reached. Modal; answers when it closes.
void PreviewFile(QWidget* parent, hex::THexEditorEx& editor, const QString& name);

// The editor a window's commands act on now (its current tab's), or none.
using CurrentEditor = std::function<hex::THexEditorEx*()>;
// Adds "Print..." (Ctrl+P) and "Print Preview..." to Menu, acting on the editor Current gives
// when chosen, headed by the name DocumentName gives for it. Parent owns the actions and the
// dialogs.
void AddPrintActions(QMenu& menu, QWidget* parent, CurrentEditor current);

}  // namespace kestrave::app
