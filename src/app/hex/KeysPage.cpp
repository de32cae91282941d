#include "app/hex/KeysPage.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QToolBar>

#include "app/hex/KeyHelpTexts.h"
#include "hexeditor/input/KeyHandlers.h"

namespace kestrave::app {
namespace {

// The window's parts share its translation context.
struct Texts {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)
};

}  // namespace

QString KeysPageText(const QMenuBar& menus, const QToolBar& findBar) {
  QStringList lines;
  const auto addLine = [&lines](const QString& keys, const QString& effect) {
    lines << QStringLiteral("  %1  %2").arg(keys, -24).arg(effect);
  };
  lines << Texts::tr("In the data (the view has the focus):");
  for (const hex::KeyHelpLine& line : hex::KeyHelp())
    addLine(QString::fromStdString(line.Keys), TranslatedKeyEffect(line.Effect));
  addLine(Texts::tr("Menu key, Shift+F10"), Texts::tr("offers other offset formats"));
  lines << QString() << Texts::tr("Menus (anywhere in the window):");
  for (QMenu* menu : menus.findChildren<QMenu*>()) {
    for (QAction* action : menu->actions()) {
      if (action->shortcut().isEmpty()) continue;
      const QString where = menu->title().remove(QLatin1Char('&'));
      addLine(action->shortcut().toString(QKeySequence::NativeText),
              where + QStringLiteral(" > ") + action->text().remove(QLatin1Char('&')));
    }
  }
  // The find bar's keys work while it is shown.
  for (QAction* action : findBar.actions())
    if (!action->shortcut().isEmpty())
      addLine(action->shortcut().toString(QKeySequence::NativeText),
              findBar.windowTitle() + QStringLiteral(" > ") + action->text());
  lines << QString() << Texts::tr("Anywhere in the window:");
  addLine(QStringLiteral("F6"), Texts::tr("moves the focus to the next part: the data, the find "
                                          "bar, the panels"));
  addLine(QStringLiteral("Shift+F6"), Texts::tr("moves the focus to the previous part"));
  lines << QString() << Texts::tr("Mouse:");
  addLine(Texts::tr("Click"), Texts::tr("puts the caret on a nibble or a character"));
  addLine(Texts::tr("Shift+Click"), Texts::tr("selects from the caret to the click"));
  addLine(Texts::tr("Drag"), Texts::tr("selects; held beyond the view it scrolls on"));
  addLine(Texts::tr("Double click"), Texts::tr("selects the unit under the pointer"));
  addLine(Texts::tr("Drag the selection"),
          Texts::tr("moves it (Ctrl: copies it), also to another window"));
  addLine(Texts::tr("Wheel"), Texts::tr("scrolls a page"));
  addLine(Texts::tr("Ctrl+Wheel"), Texts::tr("changes the bytes per row"));
  addLine(Texts::tr("Ctrl+Shift+Wheel"), Texts::tr("changes the font size"));
  addLine(Texts::tr("Right click on the offsets"), Texts::tr("offers other offset formats"));
  addLine(Texts::tr("Middle click on a tab"), Texts::tr("closes it"));
  addLine(Texts::tr("Drop a file around the data"), Texts::tr("opens it in a tab of its own"));
  return lines.join(QLatin1Char('\n'));
}

}  // namespace kestrave::app
