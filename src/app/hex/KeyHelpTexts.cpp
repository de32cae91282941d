#include "app/hex/KeyHelpTexts.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace kestrave::app {
namespace {

// Every effect the editor's key help names, for the translators' tools; a number in it (the
// bookmark keys) stands as %1, so one text serves all ten digits.
[[maybe_unused]] constexpr const char* kKeyEffects[] = {
    QT_TRANSLATE_NOOP("KeyHelp", "copies the selection to the clipboard"),
    QT_TRANSLATE_NOOP("KeyHelp", "cuts the selection to the clipboard"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "deletes the selection or the unit at the caret, also in overwrite mode"),
    QT_TRANSLATE_NOOP("KeyHelp", "goes to bookmark %1"),
    QT_TRANSLATE_NOOP("KeyHelp", "held: the caret's moves extend the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "in insert mode deletes the selection or the unit at the caret"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "in insert mode deletes the unit before the caret or the selection"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "in insert mode deletes the unit before the caret or the selection; "
                      "otherwise moves the caret left"),
    QT_TRANSLATE_NOOP(
        "KeyHelp",
        "moves the caret one nibble left in the hex field, one character in the characters"),
    QT_TRANSLATE_NOOP(
        "KeyHelp",
        "moves the caret one nibble right in the hex field, one character in the characters"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret one unit (a byte unless the units are larger) left, "
                      "extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret one unit (a byte unless the units are larger) right, "
                      "extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one page down"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one page down, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one page up"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one page up, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one row down"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one row down, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one row up"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret one row up, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the bottom row shown"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret to the bottom row shown, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the end of the row"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the end of the row, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the first byte"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the first byte of the row, in the hex field"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret to the first byte of the row, in the hex field, extending "
                      "the selection"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret to the last character of the row, in the characters"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret to the last character of the row, in the characters, "
                      "extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the first byte, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the last byte"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the last byte, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the start of the row"),
    QT_TRANSLATE_NOOP("KeyHelp",
                      "moves the caret to the start of the row, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the top row shown"),
    QT_TRANSLATE_NOOP("KeyHelp", "moves the caret to the top row shown, extending the selection"),
    QT_TRANSLATE_NOOP("KeyHelp", "pastes the clipboard at the caret"),
    QT_TRANSLATE_NOOP("KeyHelp", "redoes the last undone step"),
    QT_TRANSLATE_NOOP("KeyHelp", "selects everything"),
    QT_TRANSLATE_NOOP("KeyHelp", "sets bookmark %1 at the caret (again: clears it)"),
    QT_TRANSLATE_NOOP("KeyHelp", "switches between insert and overwrite mode"),
    QT_TRANSLATE_NOOP("KeyHelp", "switches the caret between the hex field and the characters"),
    QT_TRANSLATE_NOOP("KeyHelp", "undoes the last step"),
};

}  // namespace

QString TranslatedKeyEffect(const std::string& effect) {
  static const QRegularExpression number(QStringLiteral("\\d+"));
  QString text = QString::fromStdString(effect);
  const QRegularExpressionMatch found = number.match(text);
  if (found.hasMatch())
    text.replace(found.capturedStart(), found.capturedLength(), QStringLiteral("%1"));
  const QString translated = QCoreApplication::translate("KeyHelp", text.toUtf8().constData());
  return found.hasMatch() ? translated.arg(found.captured()) : translated;
}

}  // namespace kestrave::app
