#pragma once

#include "view/QtDesktopTranslations.h"

namespace kestrave::app {

// kestrave-hex's own texts (menus, dialogs, status bar, messages) in the language of a locale,
// the desktop's by default, for as long as the object lives, from the translations built into
// the program and chosen as Qt's own are. Languages without a translation, English among them,
// show the English texts.
class UserLanguage : public view::InstalledTranslation {
 public:
  explicit UserLanguage(const QLocale& locale = QLocale());
};

}  // namespace kestrave::app
