#include "app/hex/QtHexDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
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

}  // namespace
}  // namespace kestrave::app
