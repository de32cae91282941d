#include "view/LocalFiles.h"

#include <QMimeData>

namespace kestrave::view {

std::optional<std::string> LocalFileOf(const QUrl& url) {
  if (!url.isLocalFile()) return std::nullopt;
  // file://host/... names a file of another machine.
  if (!url.host().isEmpty() && url.host() != QLatin1String("localhost")) return std::nullopt;
  const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::vector<std::string> LocalFilesOf(const QMimeData& data) {
  std::vector<std::string> files;
  if (!data.hasUrls()) return files;
  for (const QUrl& url : data.urls())
    if (std::optional<std::string> file = LocalFileOf(url)) files.push_back(std::move(*file));
  return files;
}

}  // namespace kestrave::view
