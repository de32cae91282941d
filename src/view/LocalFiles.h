#pragma once

#include <QUrl>
#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace kestrave::view {

// The name of the local file a URL stands for, as the bytes the system knows it by: the URL's
// percent-encoded path, decoded to bytes. QUrl::toLocalFile reads those bytes as UTF-8 and
// loses every name in another encoding. Nothing for a URL of another scheme or host.
std::optional<std::string> LocalFileOf(const QUrl& url);

// The local files a drag or the clipboard carries as URLs (text/uri-list), in their order.
std::vector<std::string> LocalFilesOf(const QMimeData& data);

}  // namespace kestrave::view
