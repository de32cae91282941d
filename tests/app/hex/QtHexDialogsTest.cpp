#include "app/hex/QtHexDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

#include "support/ByteNames.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

// Once the modal dialog of that type is up, acts on it.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

// Chooses the path in the file dialog once it is up; then whatever comes after it.
void ChooseInFileDialog(const QString& path, std::function<void()> then = {}) {
  WhenShown<QFileDialog>([path, then](QFileDialog& dialog) {
    dialog.selectFile(path);
    QMetaObject::invokeMethod(&dialog, "accept");
    if (then) then();
  });
}

// Qt's own file dialog shows a CP1251 name with U+FFFD and returns it so.
TEST(QtHexDialogs, ANameThatIsNotUtf8IsChosenInTheFileDialogs) {
  test::TempDir dir;
  const std::string file = dir.File(test::kCp1251Name);
  test::WriteAll(file, "x");
  const QString shown = QFile::decodeName(QByteArray::fromStdString(file));
  QtHexDialogs dialogs(nullptr);
  ChooseInFileDialog(shown);
  EXPECT_EQ(dialogs.ChooseFileToOpen(dir.Path()), file);

  QString question;  // the file is there: replace it?
  ChooseInFileDialog(shown, [&] {
    WhenShown<QMessageBox>([&](QMessageBox& box) {
      question = box.text();
      box.button(QMessageBox::Yes)->click();
    });
  });
  EXPECT_EQ(dialogs.ChooseFileToSave(dir.File("other.bin")), file);
  EXPECT_EQ(question.toStdString(),
            test::kCp1251NameShown + " already exists.\nDo you want to replace it?");
}

// A key a user presses, or text typed, in the dialog up: each to the widget with the focus.
struct Key {
  Key(const char* typed) : text(QString::fromUtf8(typed)) {}
  Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) : key(key), modifiers(modifiers) {}
  QString text;
  Qt::Key key = Qt::Key_unknown;
  Qt::KeyboardModifiers modifiers;
};

void TypeWhenShown(std::vector<Key> keys) {
  WhenShown<QWidget>([keys = std::move(keys)](QWidget& dialog) {
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (const Key& key : keys) {
      QWidget* focus = dialog.focusWidget();
      ASSERT_NE(focus, nullptr);
      if (key.text.isEmpty())
        QTest::keyClick(focus, key.key, key.modifiers);
      else
        QTest::keyClicks(focus, key.text);
    }
  });
}

// Every dialog is answered without the mouse: the focus starts in the first field, Tab moves on,
// Space ticks, Enter accepts and a button's letter with Alt presses it.
TEST(QtHexDialogs, EveryDialogIsAnsweredByKeysAlone) {
  QtHexDialogs dialogs(nullptr);
  TypeWhenShown(
      {"ab", Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return});
  const std::optional<FindRequest> find = dialogs.AskWhatToFind({});
  ASSERT_TRUE(find);
  EXPECT_EQ(find->Text, "ab");
  EXPECT_TRUE(find->HexDigits) << "ticked";
  EXPECT_EQ(find->IgnoreCase, FindRequest{}.IgnoreCase) << "passed over";
  EXPECT_TRUE(find->InSelection) << "ticked";

  TypeWhenShown({"ab", Qt::Key_Tab, "xy", {Qt::Key_A, Qt::AltModifier}});
  const std::optional<ReplaceRequest> replace = dialogs.AskWhatToReplace({});
  ASSERT_TRUE(replace);
  EXPECT_EQ(replace->Find.Text + ">" + replace->Replacement, "ab>xy");
  EXPECT_TRUE(replace->All);

  TypeWhenShown({"0x10", Qt::Key_Return});
  EXPECT_EQ(dialogs.AskOffset("5"), "0x10") << "the last offset is selected, typing replaces it";
  TypeWhenShown({Qt::Key_Escape});
  EXPECT_EQ(dialogs.AskOffset(""), std::nullopt);

  TypeWhenShown({{Qt::Key_O, Qt::AltModifier}});
  EXPECT_TRUE(dialogs.Confirm({"Overwrite it?", "&Overwrite", "&Cancel"}));
  TypeWhenShown({Qt::Key_Return});
  EXPECT_FALSE(dialogs.Confirm({"Overwrite it?", "&Overwrite", "&Cancel"})) << "No is the default";
}

// A long title in the user's language is shown whole, not cut by a narrow dialog.
TEST(QtHexDialogs, ALongTitleFitsItsDialog) {
  struct LongTitles : QTranslator {
    QString translate(const char*, const char* source, const char*, int) const override {
      return QString::fromUtf8(source) == "Go to Offset" ? QStringLiteral("Переход к смещению")
                                                         : QString();
    }
  } russian;
  QCoreApplication::installTranslator(&russian);
  QtHexDialogs dialogs(nullptr);
  int room = 0;
  int title = 0;
  WhenShown<QDialog>([&](QDialog& dialog) {
    title = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle());
    room = dialog.width();
    dialog.reject();
  });
  dialogs.AskOffset("");
  QCoreApplication::removeTranslator(&russian);
  EXPECT_GT(title, 0);
  EXPECT_GE(room, title + 150) << "the title, the frame's icon and its three buttons";
}

// The open dialog starts in the folder it is given.
TEST(QtHexDialogs, TheOpenDialogStartsInTheGivenFolder) {
  test::TempDir dir;
  QString shown;
  WhenShown<QFileDialog>([&](QFileDialog& dialog) {
    shown = dialog.directory().absolutePath();
    dialog.reject();
  });
  QtHexDialogs dialogs(nullptr);
  EXPECT_EQ(dialogs.ChooseFileToOpen(dir.Path()), std::nullopt);
  EXPECT_EQ(shown.toStdString(), dir.Path());
}

}  // namespace
}  // namespace kestrave::app
