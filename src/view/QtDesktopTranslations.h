#pragma once

#include <QLocale>
#include <QTranslator>

namespace kestrave::view {

// Qt's own texts (the buttons of message boxes, the file dialogs) in the language of a locale,
// the desktop's by default, for as long as the object lives. Without a translation for that
// language they stay English.
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
