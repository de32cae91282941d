#pragma once

#include <QString>

class QMenuBar;
class QToolBar;

namespace kestrave::app {

// Help > Keys: made from the tables the program acts on (the view's key handlers, the menus'
// shortcuts, the find bar's), so the page lists what the keys do now; then the window's own keys
// and what the mouse does.
QString KeysPageText(const QMenuBar& menus, const QToolBar& findBar);

}  // namespace kestrave::app
