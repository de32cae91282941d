#include "app/hex/OldRecentFiles.h"

#include <QSettings>
#include <QTemporaryFile>
#include <QVariantMap>
#include <algorithm>

#include "app/hex/ConfigFiles.h"

namespace kestrave::app {

std::string OldRecentFilesPath() {
  return DesktopConfigFolder() + "/Kestrave/kestrave-hex.conf";
}

std::optional<RecentFileList> ReadOldRecentFiles(const std::string& path) {
  constexpr std::int64_t kLargest = 1 << 20;
  std::string text;
  if (ReadConfigFile(path, kLargest, text) || static_cast<std::int64_t>(text.size()) > kLargest)
    return std::nullopt;
  // Qt's settings read only files: a copy of what was read, in a file of our own.
  QTemporaryFile copy;
  if (!copy.open() ||
      copy.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
    return std::nullopt;
  copy.close();
  const QSettings settings(copy.fileName(), QSettings::IniFormat);
  const QVariantMap positions = settings.value(QStringLiteral("recentPositions")).toMap();
  RecentFileList files;
  for (const QString& name : settings.value(QStringLiteral("recent")).toStringList()) {
    RecentFile file{name.toStdString(), std::max<qlonglong>(positions.value(name).toLongLong(), 0)};
    if (!file.Path.starts_with('/') || files.size() == kMaxRecentFiles ||
        std::any_of(files.begin(), files.end(),
                    [&](const RecentFile& known) { return known.Path == file.Path; }))
      continue;
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace kestrave::app
