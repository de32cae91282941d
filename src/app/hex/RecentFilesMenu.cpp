#include "app/hex/RecentFilesMenu.h"

#include <QAction>
#include <QMenu>
#include <set>

#include "app/hex/OldRecentFiles.h"
#include "app/hex/RecentFiles.h"
#include "platform/FileSystem.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"

namespace kestrave::app {
namespace {

// Each problem once a run: the first window to meet it says so.
void ReportProblem(const std::string& path, int error) {
  static std::set<std::pair<std::string, int>> reported;
  if (!reported.emplace(path, error).second) return;
  platform::CurrentErrorDisplay().ShowError(
      RecentFilesMenu::tr("The list of recent files in %1 cannot be read (%2).")
          .arg(QString::fromStdString(path),
               QString::fromStdString(platform::SystemErrorText(error)))
          .toStdString());
}

RecentFileList Load() {
  RecentFilesRead read = ReadRecentFiles();
  if (read.Missing) {
    // Taken over once from where earlier versions kept it.
    if (std::optional<RecentFileList> old = ReadOldRecentFiles()) {
      WriteRecentFiles(*old);
      return *old;
    }
  }
  if (read.Error) ReportProblem(RecentFilesPath(), *read.Error);
  return std::move(read.Files);
}

// "&&" shows an ampersand, "&" would mark a mnemonic.
QString MenuText(const std::string& path) {
  return QString::fromStdString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

RecentFilesMenu::RecentFilesMenu(QMenu& menu, IHexDialogs& dialogs)
    : menu_(menu), dialogs_(dialogs) {
  menu_.setObjectName(QStringLiteral("recentMenu"));
  // Files come and go meanwhile: each opening shows which are there.
  QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] { Rebuild(); });
  Rebuild();
}

std::vector<std::string> RecentFilesMenu::Paths() {
  std::vector<std::string> paths;
  for (const RecentFile& file : Load())
    paths.push_back(file.Path);
  return paths;
}

void RecentFilesMenu::Remember(const std::string& path) {
  RecentFileList recent = Load();
  PutFirst(recent, path);
  WriteRecentFiles(recent);
  Rebuild();
}

void RecentFilesMenu::RememberPosition(const std::string& path, std::int64_t position) {
  if (path.empty() || !platform::FileExists(path)) return;
  RecentFileList recent = Load();
  const RecentFileList before = recent;
  SetPosition(recent, path, position);
  if (recent != before) WriteRecentFiles(recent);
}

std::int64_t RecentFilesMenu::PositionOf(const std::string& path) {
  return app::PositionOf(Load(), path);
}

void RecentFilesMenu::Rebuild() {
  menu_.clear();
  const std::vector<std::string> recent = Paths();
  for (const std::string& path : recent) {
    if (platform::FileExists(path)) {
      menu_.addAction(MenuText(path), &menu_, [this, path] {
        if (OnOpen) OnOpen(path);
      });
    } else {
      menu_.addAction(tr("%1 (missing)").arg(MenuText(path)), &menu_,
                      [this, path] { OfferToRemove(path); });
    }
  }
  if (!recent.empty()) {
    menu_.addSeparator();
    menu_.addAction(tr("&Clear List"), &menu_, [this] { Clear(); });
  }
  menu_.setEnabled(!recent.empty());
}

void RecentFilesMenu::OfferToRemove(const std::string& path) {
  if (!dialogs_.Confirm({tr("The file %1 is no longer there. Take it off the list of recent "
                            "files?")
                             .arg(QString::fromStdString(path))
                             .toStdString(),
                         tr("&Take Off").toStdString(), tr("&Keep").toStdString()}))
    return;
  RecentFileList recent = Load();
  app::Remove(recent, path);
  WriteRecentFiles(recent);
  Rebuild();
}

void RecentFilesMenu::Clear() {
  WriteRecentFiles({});
  Rebuild();
}

}  // namespace kestrave::app
