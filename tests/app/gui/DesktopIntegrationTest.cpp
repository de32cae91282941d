#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/app/gui/DesktopChild.h"
#include "view/QtDesktopTranslations.h"

namespace kestrave::view {
namespace {

// The texts of Qt's own buttons and file dialog, as the user would read them.
struct QtTexts {
  QString cancel;
  QString save;
  QString messageBoxCancel;
  QString fileNameLabel;
  // The file dialog's Type column for a folder, and its column headers.
  QString folderType;
  QStringList columns;
};

QtTexts CurrentQtTexts() {
  QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  QMessageBox message;
  message.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  const QFileSystemModel model;
  QStringList columns;
  for (int c = 0; c < model.columnCount(); ++c)
    columns << model.headerData(c, Qt::Horizontal).toString();
  return {box.button(QDialogButtonBox::Cancel)->text(),
          box.button(QDialogButtonBox::Save)->text(),
          message.button(QMessageBox::Cancel)->text(),
          files.labelText(QFileDialog::FileName),
          model.iconProvider()->type(QFileInfo(QDir::tempPath())),
          columns};
}

void ExpectRussian(const QtTexts& texts) {
  EXPECT_EQ(texts.cancel, QString::fromUtf8("Отмена"));
  EXPECT_EQ(texts.save, QString::fromUtf8("Сохранить"));
  EXPECT_EQ(texts.messageBoxCancel, QString::fromUtf8("Отмена"));
  EXPECT_EQ(texts.fileNameLabel, QString::fromUtf8("&Имя файла:"));
  EXPECT_EQ(texts.folderType, QString::fromUtf8("Папка")) << "a context Qt's catalogue misses";
  for (const QString& column : texts.columns)
    EXPECT_TRUE(column.contains(QRegularExpression(QStringLiteral("^[\\x{0400}-\\x{04FF} ]+$"))))
        << column.toStdString();
}

TEST(QtTranslations, QtsOwnTextsSpeakTheLanguageOfTheLocale) {
  {
    const QtDesktopTranslations russian(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_TRUE(russian.Loaded()) << "Qt's translations are installed with the program";
    ExpectRussian(CurrentQtTexts());
  }
  const QtTexts after = CurrentQtTexts();
  EXPECT_EQ(after.cancel, "Cancel") << "gone with the object";
  EXPECT_EQ(after.fileNameLabel, "File &name:");
  EXPECT_EQ(after.folderType, "Folder");
}

TEST(QtTranslations, TheCLocaleKeepsQtsEnglish) {
  const QtDesktopTranslations none(QLocale::c());
  EXPECT_FALSE(none.Loaded());
  EXPECT_EQ(CurrentQtTexts().cancel, "Cancel");
}

// Runs in a process of its own that a Russian desktop started (see the test below).
TEST(QtTranslations, DesktopLocaleChild) {
  if (!std::getenv(app::test::kDesktopLocaleChild))
    GTEST_SKIP() << "runs only as the child of the test below";
  EXPECT_EQ(QLocale().language(), QLocale::Russian);
  const QtDesktopTranslations desktop;
  ASSERT_TRUE(desktop.Loaded());
  ExpectRussian(CurrentQtTexts());
}

// The locale comes from the environment the desktop gives the program, which is read when the
// program starts: this suite runs itself once more with a Russian desktop's settings.
TEST(QtTranslations, ARussianDesktopGetsRussianDialogsAndButtons) {
  for (const QStringList& settings :
       {QStringList{QStringLiteral("LANG=ru_RU.UTF-8")},
        QStringList{QStringLiteral("LANG=ru_RU.UTF-8"), QStringLiteral("LANGUAGE=ru_RU:ru")}}) {
    const app::test::ChildRun child =
        app::test::RunAsDesktopChild("QtTranslations.DesktopLocaleChild", settings);
    EXPECT_TRUE(child.Passed()) << "the child ran and passed, with "
                                << settings.join(' ').toStdString() << ":\n"
                                << child.Output;
  }
}

// --- Launchers --------------------------------------------------------------------------------

std::string Packaged(const char* name) {
  std::ifstream in(std::string(KESTRAVE_SOURCE_DIR) + "/packaging/" + name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of a "Key=value" line of a desktop entry.
std::string EntryValue(const std::string& entry, const std::string& key) {
  std::istringstream lines(entry);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  return {};
}

TEST(Launchers, BothPassTheOpenedFileAndNameTheContainerType) {
  const std::string type = "application/x-kestrave-drf";
  const std::string mime = Packaged("kestrave-drf.xml");
  EXPECT_NE(mime.find("type=\"" + type + "\""), std::string::npos);
  EXPECT_NE(mime.find("pattern=\"*.drf\""), std::string::npos);
  for (const auto& [file, program] :
       {std::pair{"org.kestrave.kestrave.desktop", "kestrave"},
        std::pair{"org.kestrave.kestrave_hex.desktop", "kestrave-hex"}}) {
    const std::string entry = Packaged(file);
    ASSERT_FALSE(entry.empty()) << file;
    EXPECT_EQ(EntryValue(entry, "Exec"), std::string(program) + " %f") << file;
    EXPECT_NE((";" + EntryValue(entry, "MimeType")).find(";" + type + ";"), std::string::npos)
        << file;
  }
}

}  // namespace
}  // namespace kestrave::view
