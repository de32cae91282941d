#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/hex/ByteValues.h"
#include "app/hex/ByteValuesDock.h"
#include "app/hex/EditorTexts.h"
#include "app/hex/HexWindow.h"
#include "app/hex/KeyHelpTexts.h"
#include "app/hex/RecordsDock.h"
#include "app/hex/UserLanguage.h"
#include "app/hex/ViewSettingsStore.h"
#include "hexeditor/Messages.h"
#include "hexeditor/input/KeyHandlers.h"
#include "hexeditor/text/Translation.h"
#include "hexeditor/undo/UndoRecord.h"
#include "platform/Format.h"
#include "support/TempDir.h"
#include "tests/app/gui/DesktopChild.h"
#include "tests/app/hex/ScriptedHexDialogs.h"
#include "view/QtDesktopTranslations.h"

namespace kestrave::app {
namespace {

using test::ScriptedHexDialogs;

QLocale Russian() {
  return QLocale(QLocale::Russian, QLocale::Russia);
}

bool IsRussian(const QString& text) {
  for (const QChar c : text)
    if (c.script() == QChar::Script_Cyrillic) return true;
  return false;
}

// A hex window on a file of 256 bytes, its dialogs answered from a script.
struct WindowOnAFile {
  WindowOnAFile() : window(dialogs) {
    kestrave::test::WriteAll(dir.File("data.bin"), std::string(256, '.'));
    window.OpenFile(dir.File("data.bin"));
    QApplication::processEvents();
  }

  std::string MenuTitles() const {
    QStringList titles;
    for (const QAction* menu : window.menuBar()->actions())
      titles << menu->text();
    return titles.join(QLatin1Char(' ')).toStdString();
  }
  // Letters that more than one item of a menu (or the menu bar and the records panel's
  // buttons, which Alt reaches alike) takes: Alt and such a letter only moves the focus.
  QStringList SharedLetters() {
    QStringList shared;
    const auto check = [&](const QString& where, const QStringList& texts) {
      QMap<QChar, QString> taken;
      for (const QString& text : texts) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at < 0 || at + 1 >= text.size()) continue;
        const QChar letter = text[at + 1].toLower();
        if (taken.contains(letter))
          shared << where + QStringLiteral(": ") + taken[letter] + QStringLiteral(" / ") + text;
        taken[letter] = text;
      }
    };
    QStringList bar;
    for (const QAction* menu : window.menuBar()->actions())
      bar << menu->text();
    for (const QPushButton* button : window.RecordsPanel().findChildren<QPushButton*>())
      bar << button->text();
    check(QStringLiteral("menu bar and records panel"), bar);
    for (const QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
      QStringList items;
      for (const QAction* action : menu->actions())
        items << action->text();
      check(menu->title(), items);
    }
    return shared;
  }
  // A menu item by its text without the mnemonic.
  QAction* MenuItem(const QString& text) {
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>())
      for (QAction* action : menu->actions())
        if (action->text().remove(QLatin1Char('&')) == text) return action;
    ADD_FAILURE() << "no menu item " << text.toStdString();
    return new QAction(&window);
  }
  QStringList StatusTexts() const {
    QStringList texts;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
      texts << label->text();
    return texts;
  }
  QStringList TypeNames() {
    QStringList names;
    const auto* table = window.ByteValuesPanel().findChild<QTableWidget*>();
    for (int row = 0; row < table->rowCount(); ++row)
      names << table->item(row, 0)->text();
    return names;
  }

  kestrave::test::TempDir dir;
  ScriptedHexDialogs dialogs;
  HexWindow window;
};

TEST(HexWindowLanguage, ARussianDesktopGetsRussianMenusStatusMessagesPanelAndKeyHelp) {
  const UserLanguage russian(Russian());
  ASSERT_TRUE(russian.Loaded()) << "the Russian translation is built into the program";
  WindowOnAFile user;

  EXPECT_EQ(user.MenuTitles(), "&Файл &Правка &Вид &Закладки &Справка");
  EXPECT_TRUE(user.StatusTexts().contains(QString::fromUtf8("Смещение 0 (0x0) из 256")))
      << user.StatusTexts().join(" | ").toStdString();
  EXPECT_TRUE(user.StatusTexts().contains(QString::fromUtf8("Замена")))
      << user.StatusTexts().join(" | ").toStdString();

  user.dialogs.offsetAnswers.push_back("0x100");
  user.MenuItem(QString::fromUtf8("Перейти к смещению..."))->trigger();
  EXPECT_EQ(user.dialogs.errors,
            std::vector<std::string>{"Смещение 0x100 за пределами данных (от 0 до 255, 0xFF)."});

  ByteValuesDock& panel = user.window.ByteValuesPanel();
  EXPECT_EQ(panel.windowTitle(), QString::fromUtf8("Значения байтов"));
  const QStringList names = user.TypeNames();
  for (const char* name : {"int16", "float64", "Время Unix (32 бита)", "Время Unix (64 бита)",
                           "Дата/время DOS", "UTF-8", "двоичный"})
    EXPECT_TRUE(names.contains(QString::fromUtf8(name)))
        << name << " in " << names.join(", ").toStdString();
  // The row's name is the one its messages use.
  user.window.Editor().SetSelectionStart(0);
  panel.EditValue(ValueType::UnixTime32, QStringLiteral("soon"));
  ASSERT_EQ(user.dialogs.errors.size(), 2u);
  EXPECT_EQ(user.dialogs.errors[1], "«soon» не является значением типа «Время Unix (32 бита)».");

  // The editor's own names in the menus: the undo step and the character sets.
  user.window.Editor().ChangeByte('.', 'x', 0, 0, 0, "");
  QApplication::processEvents();
  EXPECT_TRUE(user.MenuItem(QString::fromUtf8("Отменить (Изменение байтов)"))->isEnabled());
  EXPECT_TRUE(user.MenuItem(QString::fromUtf8("Своя таблица"))->isCheckable());
  EXPECT_TRUE(user.MenuItem(QStringLiteral("Windows"))->isCheckable());

  user.MenuItem(QString::fromUtf8("Клавиши"))->trigger();
  ASSERT_EQ(user.dialogs.helpShown.size(), 1u);
  EXPECT_EQ(user.dialogs.helpShown[0].first, "Клавиши");
  const QString page = QString::fromStdString(user.dialogs.helpShown[0].second);
  for (const char* line : {"перемещает курсор на строку вверх", "ставит закладку 3",
                           "Правка > Перейти к смещению...", "Двойной щелчок"})
    EXPECT_TRUE(page.contains(QString::fromUtf8(line))) << line << " in:\n" << page.toStdString();
}

TEST(HexWindowLanguage, EveryTextTheEditorGivesInEnglishHasItsRussianText) {
  const UserLanguage russian(Russian());
  ASSERT_TRUE(russian.Loaded());
  for (const hex::KeyHelpLine& line : hex::KeyHelp()) {
    const QString effect = TranslatedKeyEffect(line.Effect);
    EXPECT_TRUE(IsRussian(effect)) << line.Keys << ": " << line.Effect;
    EXPECT_FALSE(effect.contains(QLatin1Char('%'))) << line.Keys << ": " << effect.toStdString();
  }
  EXPECT_EQ(TranslatedKeyEffect(hex::KeyEffect('7', hex::ssCtrl)),
            QString::fromUtf8("переходит к закладке 7"))
      << "each bookmark key names its own digit";

  for (int kind = 0; kind < hex::kUndoKindCount; ++kind) {
    const std::string step(hex::DefaultUndoDescription(kind));
    EXPECT_TRUE(IsRussian(TranslatedUndoStep(step))) << step;
  }
  EXPECT_EQ(TranslatedUndoStep("Edit int16"), QStringLiteral("Edit int16"))
      << "a step the window named itself is already in the user's language";
  EXPECT_EQ(TranslatedCharacterSetName(hex::kTranslationNames[hex::tkAsIs]),
            QStringLiteral("Windows"));
  EXPECT_EQ(TranslatedCharacterSetName("Custom Translation"), QString::fromUtf8("Своя таблица"));
}

// The store reports in English; the window shows the report in the user's language with the
// file and the reason as the store gave them.
TEST(HexWindowLanguage, ASettingsReportKeepsItsFileAndReasonInRussian) {
  const UserLanguage russian(Russian());
  kestrave::test::TempDir dir;
  const std::string damaged = dir.File("damaged (1).settings");
  kestrave::test::WriteAll(damaged, "BytesPerRow=banana\r\n");
  hex::THexEditorEx editor;
  const std::optional<std::string> damage = LoadViewSettings(editor, damaged);
  ASSERT_TRUE(damage);
  const QString shown = TranslatedSettingsMessage(*damage);
  EXPECT_TRUE(shown.startsWith(QString::fromUtf8("Сохранённые настройки вида в ") +
                               QString::fromStdString(damaged) + QStringLiteral(" повреждены (")))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains(QStringLiteral("'banana' is not a valid integer value")))
      << shown.toStdString();

  const std::string folder = dir.File("folder.settings");
  std::filesystem::create_directory(folder);
  const std::optional<std::string> unreadable = LoadViewSettings(editor, folder);
  ASSERT_TRUE(unreadable);
  EXPECT_EQ(TranslatedSettingsMessage(*unreadable).toStdString(),
            "Не удаётся прочитать сохранённые настройки вида из " + folder +
                " (Is a directory); используются настройки по умолчанию.");
  EXPECT_EQ(TranslatedSettingsMessage("Something else."), QStringLiteral("Something else."));
}

// The component's errors keep their English wording; the window shows them in Russian, with the
// names and numbers filled in and the system's reason after the line break as it came.
TEST(HexWindowLanguage, TheEditorsErrorsAreShownInRussianWithTheirDetailsKept) {
  const UserLanguage russian(Russian());
  const struct {
    std::string shown;
    const char* expected;
  } cases[] = {
      {"Cannot open /tmp/a %2 b.bin.\r\n(No such file or directory.)",
       "Не удаётся открыть /tmp/a %2 b.bin.\r\n(No such file or directory.)"},
      {"Cannot create backup /x/y.bak. (Permission denied)",
       "Не удаётся создать резервную копию /x/y.bak. (Permission denied)"},
      {"Invalid font height 0, allowed: 1..1332", "Неверная высота шрифта 0, допустимо: 1..1332"},
      {"Invalid radix in offset format (11h), allowed: 02h..10h",
       "Неверное основание в формате смещений (11h), допустимо: 02h..10h"},
      {"Operation Cancelled", "Операция отменена"},
      {"Something the component never says.", "Something the component never says."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TranslatedErrorText(c.shown).toStdString(), c.expected);
  // Every message of the component's table has its Russian first line.
  for (const char* message :
       {hex::msg::kOutOfBounds, hex::msg::kCannotOpenFile, hex::msg::kCannotSaveReadOnly,
        hex::msg::kInvalidSelectionEnd, hex::msg::kInvalidBookmarkBitmap, hex::msg::kInvalidUnit,
        hex::msg::kInvalidRulerUnit, hex::msg::kMissingOffsetChar, hex::msg::kCannotUpdateUndo,
        hex::msg::kInvalidRadixCharacter, hex::msg::kOddSizedUnicode}) {
    // Each placeholder filled with an argument of its kind.
    const std::string_view text = message;
    std::vector<platform::FormatArg> args;
    for (std::size_t at = text.find('%'); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('%', at + 2))
      args.push_back(text[at + 1] == 's' ? platform::FormatArg(std::string("x"))
                                         : platform::FormatArg(std::int64_t{10}));
    args.resize(2, std::string("x"));
    const std::string filled = platform::FormatMessage(message, {args[0], args[1]});
    EXPECT_TRUE(IsRussian(TranslatedErrorText(filled))) << filled;
  }
}

TEST(HexWindowLanguage, EnglishAndLanguagesWithoutATranslationKeepTheEnglishTexts) {
  for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c(),
                                QLocale(QLocale::German, QLocale::Germany)}) {
    const UserLanguage language(locale);
    EXPECT_FALSE(language.Loaded()) << locale.name().toStdString();
  }
  { const UserLanguage russian(Russian()); }  // gone again: nothing of it stays

  const UserLanguage english(QLocale(QLocale::English, QLocale::UnitedStates));
  WindowOnAFile user;
  EXPECT_EQ(user.MenuTitles(), "&File &Edit &View &Bookmarks &Help");
  EXPECT_TRUE(user.StatusTexts().contains(QStringLiteral("Offset 0 (0x0) of 256")));
  EXPECT_TRUE(user.TypeNames().contains(QStringLiteral("Unix time (32-bit)")));
  user.dialogs.offsetAnswers.push_back("0x100");
  user.MenuItem(QStringLiteral("Go to Offset..."))->trigger();
  EXPECT_EQ(user.dialogs.errors,
            std::vector<std::string>{
                "Offset 0x100 lies outside the data, which runs from 0 to 255 (0xFF)."});
  for (const hex::KeyHelpLine& line : hex::KeyHelp())
    EXPECT_EQ(TranslatedKeyEffect(line.Effect), QString::fromStdString(line.Effect));
  EXPECT_EQ(TranslatedUndoStep("Change Byte(s)"), QStringLiteral("Change Byte(s)"));
}

TEST(HexWindowLanguage, NoTwoItemsOfAMenuShareALetterInEitherLanguage) {
  for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), Russian()}) {
    const UserLanguage language(locale);
    WindowOnAFile user;
    EXPECT_EQ(user.SharedLetters().join(QStringLiteral("; ")).toStdString(), "")
        << locale.name().toStdString();
  }
}

constexpr char kExpectedVariable[] = "KESTRAVE_HEX_LANGUAGE_EXPECTED";
constexpr char kQtCancelVariable[] = "KESTRAVE_QT_CANCEL_EXPECTED";

// Runs in a process of its own that a desktop started with its language settings (see below).
TEST(HexWindowLanguage, DesktopChild) {
  const char* expected = std::getenv(kExpectedVariable);
  if (!expected) GTEST_SKIP() << "runs only as the child of the test below";
  const UserLanguage desktop;
  const view::QtDesktopTranslations qt;  // Qt's own texts follow the same order
  const QString title = QCoreApplication::translate("kestrave::app::QtHexDialogs", "Go to Offset");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
            QString::fromUtf8(std::getenv(kQtCancelVariable)))
      << "Qt's own: the first language it has a translation for, up to English";
  if (std::string(expected) == "ru") {
    EXPECT_TRUE(desktop.Loaded());
    EXPECT_EQ(title, QString::fromUtf8("Переход к смещению"));
  } else {
    EXPECT_FALSE(desktop.Loaded());
    EXPECT_EQ(title, QStringLiteral("Go to Offset"));
  }
}

// The language comes from the environment the desktop gives the program: the languages the user
// prefers, in order, up to English, in which the texts are written.
TEST(HexWindowLanguage, TheDesktopsLanguagesAreTriedInTheUsersOrderUpToEnglish) {
  const struct {
    QStringList settings;
    const char* expected;
    const char* qtCancel;  // Qt's own "Cancel" then
  } desktops[] = {
      {{"LANG=ru_RU.UTF-8"}, "ru", "Отмена"},
      {{"LANG=en_US.UTF-8", "LC_ALL=ru_RU.UTF-8"}, "ru", "Отмена"},
      {{"LANG=de_DE.UTF-8", "LANGUAGE=de:ru"}, "ru", "Abbrechen"},
      {{"LANG=uk_UA.UTF-8", "LANGUAGE=uk:ru"}, "ru", "Скасувати"},
      {{"LANG=en_US.UTF-8", "LANGUAGE=en:ru"}, "en", "Cancel"},
      {{"LANG=ru_RU.UTF-8", "LANGUAGE=en_GB:ru"}, "en", "Cancel"},
      {{"LANG=de_DE.UTF-8"}, "en", "Abbrechen"},
      {{"LANG=C.UTF-8"}, "en", "Cancel"},
  };
  for (const auto& desktop : desktops) {
    const test::ChildRun child = test::RunAsDesktopChild(
        "HexWindowLanguage.DesktopChild", desktop.settings,
        {{QString::fromLatin1(kExpectedVariable), QString::fromLatin1(desktop.expected)},
         {QString::fromLatin1(kQtCancelVariable), QString::fromUtf8(desktop.qtCancel)}});
    EXPECT_TRUE(child.Passed()) << desktop.settings.join(' ').toStdString() << " -> "
                                << desktop.expected << "\n"
                                << child.Output;
  }
}

}  // namespace
}  // namespace kestrave::app
