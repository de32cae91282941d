#pragma once

#include <QCoreApplication>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/hex/HexDialogs.h"

class QMenu;

namespace kestrave::app {

// File > Open Recent: the files opened or saved last, kept in kestrave-hex.recent for every
// window and run, each with where its caret was left. The list is read each time, so windows
// of other runs see each other's files. A file that is gone is marked so; choosing it offers
// to take it off the list, and Clear List empties it.
class RecentFilesMenu {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  RecentFilesMenu(QMenu& menu, IHexDialogs& dialogs);

  // Told when the user picks a file that is there.
  std::function<void(const std::string& path)> OnOpen;

  // The recent files' paths, most recent first.
  static std::vector<std::string> Paths();
  // Puts the file first; the menus of this window show it.
  void Remember(const std::string& path);
  // Notes where the caret stands in a file of the list, for when it is opened again.
  static void RememberPosition(const std::string& path, std::int64_t position);
  // Where the caret was left in the file; 0 when that is not known.
  static std::int64_t PositionOf(const std::string& path);
  // Builds the menu from the list as it is now (also each time it opens).
  void Rebuild();

 private:
  void OfferToRemove(const std::string& path);
  void Clear();

  QMenu& menu_;
  IHexDialogs& dialogs_;
};

}  // namespace kestrave::app
