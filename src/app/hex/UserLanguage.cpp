#include "app/hex/UserLanguage.h"

#include <QCoreApplication>

namespace kestrave::app {

UserLanguage::UserLanguage(const QLocale& locale) {
  // The locale's languages in the user's order of preference (LANGUAGE="de:ru" means German,
  // else Russian), each tried as "kestrave-hex_ru_RU", then "kestrave-hex_ru", from the
  // translations built into the program. The texts are written in English: a user who puts
  // English before a translated language gets them as they are.
  for (const QString& name : locale.uiLanguages()) {
    const QLocale language(name);
    if (language.language() == QLocale::English || language.language() == QLocale::C) return;
    if (translator_.load(language, QStringLiteral("kestrave-hex"), QStringLiteral("_"),
                         QStringLiteral(":/translations"))) {
      loaded_ = QCoreApplication::installTranslator(&translator_);
      return;
    }
  }
}

UserLanguage::~UserLanguage() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace kestrave::app
