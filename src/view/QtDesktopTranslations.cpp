#include "view/QtDesktopTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kestrave::view {

QtDesktopTranslations::QtDesktopTranslations(const QLocale& locale) {
  // The locale's languages in the user's order of preference, each tried as "qtbase_ru_RU",
  // then "qtbase_ru".
  loaded_ = translator_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(&translator_);
}

QtDesktopTranslations::~QtDesktopTranslations() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace kestrave::view
