#include "view/QtDesktopTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kestrave::view {
namespace {

// Each language is tried as "qtbase_ru_RU", then "qtbase_ru".
bool LoadPreferred(QTranslator& translator, const QLocale& locale, const QString& name,
                   const QString& folder) {
  for (const QString& preferred : locale.uiLanguages()) {
    const QLocale language(preferred);
    if (language.language() == QLocale::English || language.language() == QLocale::C) return false;
    if (translator.load(language, name, QStringLiteral("_"), folder)) return true;
  }
  return false;
}

// Texts of Qt's dialogs that Qt's own catalogue has no entry for: Qt 6 asks for them in a
// context its translators have not caught up with. Our catalogue, kestrave-qt_<language>.ts,
// holds them.
[[maybe_unused]] constexpr const char* kQtCompletions[] = {
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Drive"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Folder"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Shortcut"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Unknown"),
};

}  // namespace

InstalledTranslation::InstalledTranslation(const QLocale& locale, const QString& name,
                                           const QString& folder)
    : loaded_(LoadPreferred(translator_, locale, name, folder) &&
              QCoreApplication::installTranslator(&translator_)) {}

InstalledTranslation::~InstalledTranslation() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

QtDesktopTranslations::QtDesktopTranslations(const QLocale& locale)
    : InstalledTranslation(locale, QStringLiteral("qtbase"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)),
      completions_(locale, QStringLiteral("kestrave-qt"), QStringLiteral(":/translations")) {}

}  // namespace kestrave::view
