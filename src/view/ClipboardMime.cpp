#include "view/ClipboardMime.h"

#include <QUrl>

#include "hexeditor/transfer/TransferFormats.h"
#include "platform/ole/ClipboardFormats.h"

namespace kestrave::view {

namespace ole = platform::ole;

namespace {

const QString kPrivateType = QStringLiteral("application/x-kestrave-hexeditor");
const QString kNamedPrefix = QStringLiteral("application/x-kestrave-format.");
const QString kNumberedPrefix = QStringLiteral("application/x-kestrave-cf-");

}  // namespace

QString MimeTypeOf(ole::TClipFormat format) {
  if (format == hex::TransferFormats().Private) return kPrivateType;
  if (format == ole::CF_TEXT) return QStringLiteral("text/plain");
  const std::string name = ole::ClipboardFormatName(format);
  if (!name.empty())
    return kNamedPrefix +
           QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(name)));
  return kNumberedPrefix + QString::number(format);
}

ole::TClipFormat FormatOfMimeType(const QString& mimeType) {
  if (mimeType == kPrivateType) return hex::TransferFormats().Private;
  if (mimeType.startsWith(kNamedPrefix)) {
    const QString name = QUrl::fromPercentEncoding(mimeType.mid(kNamedPrefix.size()).toLatin1());
    return ole::RegisterClipboardFormatA(name.toStdString());
  }
  if (mimeType.startsWith(kNumberedPrefix)) {
    bool ok = false;
    const uint number = mimeType.mid(kNumberedPrefix.size()).toUInt(&ok);
    return ok && number > 0 && number < 0xC000 ? static_cast<ole::TClipFormat>(number) : 0;
  }
  return 0;
}

}  // namespace kestrave::view
