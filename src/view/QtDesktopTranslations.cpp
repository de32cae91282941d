#include "view/QtDesktopTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kestrave::view {

bool LoadPreferredTranslation(QTranslator& translator, const QLocale& locale, const QString& name,
                              const QString& folder) {
  // Each language is tried as "qtbase_ru_RU", then "qtbase_ru".
  for (const QString& preferred : locale.uiLanguages()) {
    const QLocale language(preferred);
    if (language.language() == QLocale::English || language.language() == QLocale::C) return false;
    if (translator.load(language, name, QStringLiteral("_"), folder)) return true;
  }
  return false;
}

QtDesktopTranslations::QtDesktopTranslations(const QLocale& locale) {
  loaded_ = LoadPreferredTranslation(translator_, locale, QStringLiteral("qtbase"),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(&translator_);
}

QtDesktopTranslations::~QtDesktopTranslations() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace kestrave::view
