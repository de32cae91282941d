#pragma once

#include <QLocale>
#include <QTranslator>

namespace kestrave::app {

// kestrave-hex's own texts (menus, dialogs, status bar, messages) in the language of a locale,
// the desktop's by default, for as long as the object lives. Languages without a translation,
// English among them, show the English texts. Qt's own texts come with the desktop services.
class UserLanguage {
 public:
  explicit UserLanguage(const QLocale& locale = QLocale());
  ~UserLanguage();
  UserLanguage(const UserLanguage&) = delete;
  UserLanguage& operator=(const UserLanguage&) = delete;

  bool Loaded() const { return loaded_; }

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

}  // namespace kestrave::app
