#include "app/hex/UserLanguage.h"

namespace kestrave::app {

UserLanguage::UserLanguage(const QLocale& locale)
    : InstalledTranslation(locale, QStringLiteral("kestrave-hex"),
                           QStringLiteral(":/translations")) {}

}  // namespace kestrave::app
