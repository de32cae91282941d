#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace kestrave::view {

// A translation installed for as long as the object lives: "<name>_<language>" from a folder,
// for the first of the locale's languages, in the user's order of preference
// (LANGUAGE="de:ru": German, else Russian), that has one. The texts are written in English: a
// user who puts English (or C) before a translated language gets them as they are, and nothing
// is installed.
class InstalledTranslation {
 public:
  InstalledTranslation(const QLocale& locale, const QString& name, const QString& folder);
  ~InstalledTranslation();
  InstalledTranslation(const InstalledTranslation&) = delete;
  InstalledTranslation& operator=(const InstalledTranslation&) = delete;

  bool Loaded() const { return loaded_; }

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

// Qt's own texts (the buttons of message boxes, the file dialogs) in the language of a locale,
// the desktop's by default. Without a translation for that language they stay English. The few
// texts Qt's catalogue misses come from our own (the file dialog's "Folder", say).
class QtDesktopTranslations : public InstalledTranslation {
 public:
  explicit QtDesktopTranslations(const QLocale& locale = QLocale());

 private:
  InstalledTranslation completions_;
};

}  // namespace kestrave::view
