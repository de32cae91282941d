#include "app/hex/UserLanguage.h"

#include <QCoreApplication>

#include "view/QtDesktopTranslations.h"

namespace kestrave::app {

UserLanguage::UserLanguage(const QLocale& locale) {
  // From the translations built into the program, chosen as Qt's own are.
  loaded_ = view::LoadPreferredTranslation(translator_, locale, QStringLiteral("kestrave-hex"),
                                           QStringLiteral(":/translations")) &&
            QCoreApplication::installTranslator(&translator_);
}

UserLanguage::~UserLanguage() {
  if (loaded_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace kestrave::app
