#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/gui/KestraveApplication.h"
#include "app/gui/QtUserDialogs.h"
#include "app/gui/TForm1.h"
#include "app/gui/TForm2.h"
#include "hexeditor/HexEditorError.h"
#include "support/TempDir.h"
#include "tests/app/gui/ScriptedDialogs.h"

namespace kestrave::app {
namespace {

using kestrave::test::TempDir;
using kestrave::test::WriteAll;
using test::ScriptedDialogs;

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

class Window : public ::testing::Test {
 protected:
  Window() : form1(dialogs), form2(&form1) {
    form1.SetAboutWindow(&form2);
    form1.show();
    Application().SetErrorDisplay(&dialogs);
  }
  ~Window() override { Application().SetErrorDisplay(nullptr); }

  static KestraveApplication& Application() {
    return *static_cast<KestraveApplication*>(QCoreApplication::instance());
  }

  // The user picks a file in the open dialog, or cancels.
  void Open(std::optional<std::string> answer) {
    dialogs.openAnswers.push_back(std::move(answer));
    form1.Button1->click();
    QCoreApplication::processEvents();
  }

  // Saves what the window looks like when the environment asks for screenshots.
  static void Screenshot(QWidget& widget, const char* name) {
    if (const char* folder = std::getenv("KESTRAVE_SCREENSHOT_DIR"))
      widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
  }

  bool SaveButtonsEnabled() const {
    EXPECT_EQ(form1.Button5->isEnabled(), form1.Button6->isEnabled());
    return form1.Button5->isEnabled();
  }

  ScriptedDialogs dialogs;
  TForm1 form1;
  TForm2 form2;
  TempDir dir;
};

TEST_F(Window, StartsWithTheSpecifiedLayoutAndStates) {
  EXPECT_EQ(form1.windowTitle(), "Kestrave");
  EXPECT_EQ(form1.size(), QSize(244, 204));
  EXPECT_EQ(form1.minimumSize(), form1.maximumSize()) << "not resizable";
  EXPECT_FALSE(form1.windowFlags() & Qt::WindowMaximizeButtonHint);
  const struct {
    QPushButton* button;
    const char* caption;
    QRect geometry;
    bool enabled;
  } expected[] = {
      {form1.Button1, "Открыть файл", {77, 34, 89, 25}, true},
      {form1.Button5, "Сохранить AMR", {65, 66, 113, 25}, false},
      {form1.Button6, "Сохранить Wav", {65, 98, 113, 25}, false},
      {form1.Button7, "Автор", {77, 130, 89, 25}, true},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(e.button->text(), Utf8(e.caption));
    EXPECT_EQ(e.button->geometry(), e.geometry) << e.caption;
    EXPECT_EQ(e.button->isEnabled(), e.enabled) << e.caption;
  }
  EXPECT_EQ(form1.Button1->nextInFocusChain(), form1.Button5);
  EXPECT_EQ(form1.Button5->nextInFocusChain(), form1.Button6);
  EXPECT_EQ(form1.Button6->nextInFocusChain(), form1.Button7);
  EXPECT_EQ(form1.StatusBar1->geometry(), QRect(0, 185, 244, 19));
  EXPECT_EQ(form1.StatusText(), "Kestrave");
  EXPECT_EQ(form1.font().pixelSize(), 11);
  Screenshot(form1, "main-window");
}

TEST_F(Window, OpeningAContainerWithoutRecordsSaysSo) {
  WriteAll(dir.File("plain.drf"), "a container without voice");
  Open(dir.File("plain.drf"));
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_EQ(form1.StatusText(), Utf8("Звуковые записи не найдены"));
  EXPECT_FALSE(SaveButtonsEnabled());
  ASSERT_EQ(dialogs.openOptions.size(), 1u);
  EXPECT_EQ(dialogs.openOptions[0].Filter, "*.drf|*.drf");
  EXPECT_EQ(dialogs.openOptions[0].DefaultExt, "*.drf");
  Screenshot(form1, "main-window-scanned");
}

TEST_F(Window, OpeningTheSampleReportsItsRecordsAndEnablesSaving) {
  Open(std::string(KESTRAVE_SOURCE_DIR) + "/samples/sample.drf");
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_EQ(form1.StatusText(), Utf8("Найдено 3 записей"));
  EXPECT_TRUE(SaveButtonsEnabled());
  Screenshot(form1, "main-window-found");
  WriteAll(dir.File("plain.drf"), "a container without voice");
  Open(dir.File("plain.drf"));
  EXPECT_FALSE(SaveButtonsEnabled()) << "the next file decides again";
}

// The window's save goes through the same refusals as the command line: nothing is written.
TEST_F(Window, SavingOverTheOpenContainerOrWithoutANameIsRefused) {
  const auto sample =
      kestrave::test::ReadAll(std::string(KESTRAVE_SOURCE_DIR) + "/samples/sample.drf");
  WriteAll(dir.File("c_2.amr"), sample);
  Open(dir.File("c_2.amr"));
  ASSERT_TRUE(SaveButtonsEnabled());
  dialogs.saveAnswers.push_back(dir.File("c"));
  form1.Button5->click();
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "Файл " + dir.File("c_2.amr") +
                                   " — открытый контейнер, запись не может его заменить. Файлы не "
                                   "записаны.");
  EXPECT_EQ(kestrave::test::ReadAll(dir.File("c_2.amr")), sample);
  dialogs.saveAnswers.push_back(dir.Path() + "/");
  form1.Button5->click();
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(dialogs.errors[1],
            "Не задано имя файлов записей: к пустому имени нечего добавить. Файлы не записаны.");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"c_2.amr"});
  EXPECT_TRUE(SaveButtonsEnabled()) << "the window goes on";
}

TEST_F(Window, CancellingTheOpenDialogKeepsEverything) {
  WriteAll(dir.File("plain.drf"), "a container without voice");
  Open(dir.File("plain.drf"));
  const auto size = form1.Workflow().HexEditorEx1.DataSize();
  Open(std::nullopt);
  EXPECT_EQ(form1.Workflow().HexEditorEx1.FileName(), dir.File("plain.drf"));
  EXPECT_EQ(form1.Workflow().HexEditorEx1.DataSize(), size);
  EXPECT_EQ(form1.StatusText(), Utf8("Звуковые записи не найдены"));
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Window, AMissingFileShowsTheOpenErrorAndChangesNothingVisible) {
  const std::string missing = dir.File("gone.drf");
  Open(missing);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "Cannot open " + missing + ".\r\n(No such file or directory.)");
  EXPECT_EQ(form1.StatusText(), "Kestrave");
  EXPECT_FALSE(SaveButtonsEnabled());
  EXPECT_TRUE(form1.isVisible()) << "the program keeps running";
}

TEST_F(Window, TinyFilesShowTheScanError) {
  WriteAll(dir.File("one.drf"), "x");
  Open(dir.File("one.drf"));
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "Invalid selection end");
  EXPECT_EQ(form1.StatusText(), "Kestrave");
}

TEST_F(Window, TheWindowShowsTheWaitCursorWhileItLoads) {
  WriteAll(dir.File("plain.drf"), "a container without voice");
  std::optional<Qt::CursorShape> during;
  form1.Workflow().HexEditorEx1.OnProgress = [&](hex::TCustomHexEditor&, hex::THexProgressKind,
                                                 const std::string&, std::uint8_t, bool&) {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    during = cursor ? cursor->shape() : Qt::ArrowCursor;
  };
  Open(dir.File("plain.drf"));
  EXPECT_EQ(during, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  Open(dir.File("missing.drf"));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "restored after an error too";
}

TEST_F(Window, SaveWavOnlySaysItDoesNotWorkYet) {
  const auto before = dir.Entries();
  form1.Button6Click();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Пока что не работает!"});
  EXPECT_TRUE(dialogs.saveOptions.empty()) << "no save dialog";
  EXPECT_EQ(dir.Entries(), before);
}

TEST_F(Window, TheAboutWindowIsModalAndClosesWithOk) {
  bool sawIt = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_EQ(modal, &form2);
    sawIt = true;
    EXPECT_EQ(form2.windowTitle(), Utf8("Автор"));
    EXPECT_EQ(form2.size(), QSize(269, 106));
    EXPECT_EQ(form2.Label1->text(), "Kestrave");
    EXPECT_EQ(form2.Label1->font().family(), "Times New Roman");
    EXPECT_EQ(form2.Button1->text(), "OK");
    EXPECT_EQ(form2.Button1->geometry(), QRect(176, 72, 75, 25));
    for (QLabel* credit : {form2.Label2, form2.Label3, form2.Label4}) {
      EXPECT_FALSE(credit->text().isEmpty());
      EXPECT_FALSE(credit->geometry().intersects(form2.Button1->geometry())) << "clear of OK";
      EXPECT_LE(credit->geometry().right(), form2.width());
    }
    Screenshot(form2, "about-window");
    form2.Button1->click();
  });
  form1.Button7->click();
  EXPECT_TRUE(sawIt);
  EXPECT_FALSE(form2.isVisible());
  EXPECT_EQ(form1.StatusText(), "Kestrave") << "the about window changes no state";
}

TEST_F(Window, AnErrorEscapingAPostedMessageIsShownAndTheProgramGoesOn) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { throw hex::EHexEditor("posted failure"); },
      Qt::QueuedConnection);
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs.errors, std::vector<std::string>{"posted failure"});
}

std::string Sample() {
  return std::string(KESTRAVE_SOURCE_DIR) + "/samples/sample.drf";
}

// --- A file named on the command line ---------------------------------------------------------

TEST_F(Window, AFileNamedAtStartOpensAndScansAsIfChosenInTheDialog) {
  form1.OpenFileSoon(Sample());
  EXPECT_EQ(form1.StatusText(), "Kestrave") << "the window shows first, the file opens after";
  QCoreApplication::processEvents();
  EXPECT_EQ(form1.StatusText(), Utf8("Найдено 3 записей"));
  EXPECT_TRUE(SaveButtonsEnabled());
  EXPECT_EQ(form1.Workflow().HexEditorEx1.FileName(), Sample());
  EXPECT_TRUE(dialogs.openOptions.empty()) << "no open dialog";
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Window, AMissingFileNamedAtStartShowsTheSameErrorAsTheDialogWould) {
  const std::string missing = dir.File("gone.drf");
  form1.OpenFileSoon(missing);
  QCoreApplication::processEvents();
  Open(missing);
  ASSERT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(dialogs.errors[0], "Cannot open " + missing + ".\r\n(No such file or directory.)");
  EXPECT_EQ(dialogs.errors[0], dialogs.errors[1]);
  EXPECT_EQ(form1.StatusText(), "Kestrave");
  EXPECT_FALSE(SaveButtonsEnabled());
  WriteAll(dir.File("one.drf"), "x");
  form1.OpenFileSoon(dir.File("one.drf"));
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs.errors.back(), "Invalid selection end") << "scan errors too";
}

TEST(CommandLine, NamesTheFirstFileAsAFullPath) {
  char program[] = "kestrave";
  char relative[] = "some.drf";
  char absolute[] = "/data/x.drf";
  char empty[] = "";
  {
    char* argv[] = {program, nullptr};
    EXPECT_EQ(FileFromArguments(1, argv), std::nullopt);
  }
  {
    char* argv[] = {program, relative, absolute, nullptr};
    EXPECT_EQ(FileFromArguments(3, argv), (std::filesystem::current_path() / "some.drf").string())
        << "relative to the folder it was started in, the first of several";
  }
  {
    char* argv[] = {program, absolute, nullptr};
    EXPECT_EQ(FileFromArguments(2, argv), "/data/x.drf");
  }
  {
    char* argv[] = {program, empty, nullptr};
    EXPECT_EQ(FileFromArguments(2, argv), std::nullopt);
  }
}

// One handler at a time: a file asked for while another one loads opens after it, not inside it.
TEST_F(Window, AFileAskedForDuringALoadOpensAfterIt) {
  WriteAll(dir.File("plain.drf"), "a container without voice");
  std::optional<QString> statusWhenTheSecondLoads;
  form1.Workflow().HexEditorEx1.OnProgress = [&](hex::TCustomHexEditor&, hex::THexProgressKind,
                                                 const std::string& name, std::uint8_t, bool&) {
    if (name == Sample()) {
      if (!statusWhenTheSecondLoads) statusWhenTheSecondLoads = form1.StatusText();
    } else {
      form1.OpenFile(Sample());
    }
  };
  Open(dir.File("plain.drf"));
  form1.Workflow().HexEditorEx1.OnProgress = nullptr;
  ASSERT_TRUE(statusWhenTheSecondLoads) << "the second file was opened";
  EXPECT_EQ(*statusWhenTheSecondLoads, Utf8("Звуковые записи не найдены"))
      << "after the first had been scanned and shown";
  EXPECT_EQ(form1.StatusText(), Utf8("Найдено 3 записей"));
  EXPECT_TRUE(dialogs.errors.empty());
}

// --- Files dropped from a file manager --------------------------------------------------------

class Drop : public Window {
 protected:
  // Drags the URLs over the window and drops them; answers whether the window took the drop.
  bool DropUrls(const QList<QUrl>& urls, const QString& text = {}) {
    QMimeData mime;
    if (!urls.isEmpty()) mime.setUrls(urls);
    if (!text.isEmpty()) mime.setText(text);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&form1, &enter);
    enteredAccepted = enter.isAccepted();
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    drop.setAccepted(false);
    QCoreApplication::sendEvent(&form1, &drop);
    const bool taken = drop.isAccepted();
    EXPECT_EQ(taken, enteredAccepted) << "the drop is taken when the drag was welcome";
    QCoreApplication::processEvents();
    return taken;
  }

  static QUrl Local(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path));
  }

  bool enteredAccepted = false;
};

TEST_F(Drop, ADroppedFileOpensAndScansAsIfChosenInTheDialog) {
  EXPECT_TRUE(form1.acceptDrops());
  EXPECT_TRUE(DropUrls({Local(Sample())}));
  EXPECT_EQ(form1.StatusText(), Utf8("Найдено 3 записей"));
  EXPECT_TRUE(SaveButtonsEnabled());
  EXPECT_TRUE(dialogs.openOptions.empty());
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Drop, OfSeveralFilesTheFirstLocalFileOpens) {
  WriteAll(dir.File("plain.drf"), "a container without voice");
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_TRUE(DropUrls({QUrl(QStringLiteral("https://example.org/remote.drf")),
                        Local(dir.File("folder")), Local(Sample()), Local(dir.File("plain.drf"))}));
  EXPECT_EQ(form1.Workflow().HexEditorEx1.FileName(), Sample());
  EXPECT_EQ(form1.StatusText(), Utf8("Найдено 3 записей"));
}

TEST_F(Drop, AMissingFileShowsTheOpenError) {
  const std::string missing = dir.File("gone.drf");
  EXPECT_TRUE(DropUrls({Local(missing)}));
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "Cannot open " + missing + ".\r\n(No such file or directory.)");
  EXPECT_EQ(form1.StatusText(), "Kestrave");
}

TEST_F(Drop, TextFoldersAndRemoteFilesAreRefused) {
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_FALSE(DropUrls({}, QStringLiteral("some text")));
  EXPECT_FALSE(DropUrls({Local(dir.File("folder"))}));
  EXPECT_FALSE(DropUrls({QUrl(QStringLiteral("https://example.org/remote.drf"))}));
  EXPECT_EQ(form1.StatusText(), "Kestrave");
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST(QtFilter, TurnsCaptionMaskPairsIntoQtFilters) {
  EXPECT_EQ(QtFilterFrom("*.drf|*.drf"), "*.drf (*.drf)");
  EXPECT_EQ(QtFilterFrom("Records|*.amr|All|*"), "Records (*.amr);;All (*)");
  EXPECT_EQ(QtFilterFrom(""), "");
}

}  // namespace
}  // namespace kestrave::app
