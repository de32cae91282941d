#pragma once

#include <QCoreApplication>
#include <QDockWidget>
#include <functional>

#include "app/hex/ByteValues.h"
#include "app/hex/HexDialogs.h"
#include "hexeditor/HexEditorEx.h"

class QCheckBox;
class QTableWidget;

namespace kestrave::app {

// A dock beside the view that shows the bytes at the caret (or at the start of the selection)
// read as each common type, in the byte order chosen under it. A value typed into a row is
// written over those bytes through the editor, one undoable step.
class ByteValuesDock : public QDockWidget {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::ByteValuesDock)

 public:
  // Run carries out an editing step the way the window does (errors shown, status refreshed).
  ByteValuesDock(hex::THexEditorEx& editor, IHexDialogs& dialogs,
                 std::function<void(const std::function<void()>&)> run, QWidget* parent);

  // Reads the bytes again; the window calls it when the caret, the selection or the data move.
  void Refresh();
  QString ShownValue(ValueType type) const;
  // The value as the row draws it at the table's present width: whole, or shortened (the whole
  // value is the row's tool tip, and Copy Value takes it).
  QString DrawnValue(ValueType type) const;
  // Puts the whole value of the current row on the clipboard (Ctrl+C in the table).
  void CopyValue();
  // As when the user types Text into the row of Type and presses Return.
  void EditValue(ValueType type, const QString& text);
  void SetBigEndian(bool value);

 protected:
  // A hidden panel is not kept up to date: it catches up when it shows.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int Position() const;
  int RowOf(ValueType type) const;
  void Commit(int row);

  hex::THexEditorEx& editor_;
  IHexDialogs& dialogs_;
  std::function<void(const std::function<void()>&)> run_;
  QTableWidget* table_;
  QCheckBox* bigEndian_;
  std::vector<ValueType> rows_;
  bool refreshing_ = false;
};

}  // namespace kestrave::app
