#pragma once

#include <QLocale>
#include <QTranslator>

namespace kestrave::view {

// Qt's own texts (the buttons of message boxes, the file dialogs) in the language of a locale,
// the desktop's by default, for as long as the object lives. Without a translation for that
// language they stay English.
// Loads the translation "<name>_<language>" from a folder for the first of the locale's
// languages, in the user's order of preference (LANGUAGE="de:ru": German, else Russian), that has
// one. The texts are written in English: a user who puts English (or C) before a translated
// language gets them as they are, and nothing is loaded.
bool LoadPreferredTranslation(QTranslator& translator, const QLocale& locale, const QString& name,
                              const QString& folder);

class QtDesktopTranslations {
 public:
  explicit QtDesktopTranslations(const QLocale& locale = QLocale());
  ~QtDesktopTranslations();
  QtDesktopTranslations(const QtDesktopTranslations&) = delete;
  QtDesktopTranslations& operator=(const QtDesktopTranslations&) = delete;

  bool Loaded() const { return loaded_; }

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

}  // namespace kestrave::view
