#include "view/StatusLog.h"

#include <QFile>
#include <QHash>

namespace kestrave::view {

void ReportShownText(const char* kind, const QString& text) {
  static const QString path = qEnvironmentVariable("KESTRAVE_STATUS_LOG");
  if (path.isEmpty()) return;
  // Only changes are reported, so a script can wait for a text to appear.
  static QHash<QString, QString> last;
  const QString key = QString::fromLatin1(kind);
  if (last.contains(key) && last.value(key) == text) return;
  last.insert(key, text);
  QFile file(path);
  if (!file.open(QIODevice::Append | QIODevice::WriteOnly)) return;
  file.write((key + QLatin1Char('\t') + text + QLatin1Char('\n')).toUtf8());
}

}  // namespace kestrave::view
