#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/transfer/FormatEnum.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "platform/MessageQueue.h"
#include "platform/ole/Clipboard.h"
#include "support/TempDir.h"
#include "view/FormatSelDialog.h"
#include "view/QtClipboard.h"

namespace kestrave::view {
namespace {

namespace ole = platform::ole;
using hex::TClipFormat;

const std::vector<TClipFormat> kTexts = {ole::CF_TEXT, ole::CF_UNICODETEXT, ole::CF_OEMTEXT,
                                         ole::CF_LOCALE};

QStringList Names(const QListWidget& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i)
    names << list.item(i)->text();
  return names;
}

// Answers the dialog once it is up.
void WhenShown(const std::function<void(TFormatSelDialog&)>& answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = dynamic_cast<TFormatSelDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(*dialog);
  });
}

TEST(FormatSelDialog, ListsTheFormatsByNameWithTheBoxForEightBitText) {
  hex::SetLastChosenFormat(-1);
  TFormatSelDialog dialog(kTexts, false);
  EXPECT_EQ(dialog.windowTitle(), "Select Data Format");
  const QSize screen = QGuiApplication::primaryScreen()->size();
  EXPECT_EQ(dialog.size(), QSize(screen.width() / 4, screen.height() / 4));
  EXPECT_EQ(Names(*dialog.FormatList),
            (QStringList{"Text", "Unicode Text", "OEM Text", "Text Locale"}));
  EXPECT_EQ(dialog.FormatList->currentRow(), 0);
  EXPECT_TRUE(dialog.OKButton->isEnabled());
  EXPECT_TRUE(dialog.HexTextCheck->isEnabled());
  dialog.FormatList->setCurrentRow(1);
  EXPECT_FALSE(dialog.HexTextCheck->isEnabled());
  dialog.FormatList->setCurrentRow(2);
  EXPECT_TRUE(dialog.HexTextCheck->isEnabled()) << "OEM text is 8-bit text too";
}

TEST(FormatSelDialog, ConfirmingRemembersTheChoiceForEveryLaterDialog) {
  hex::SetLastChosenFormat(-1);
  TClipFormat chosen = 0;
  bool hexText = false;
  WhenShown([](TFormatSelDialog& d) {
    d.FormatList->setCurrentRow(2);
    d.HexTextCheck->setChecked(true);
    d.OKButton->click();
  });
  TFormatSelDialog first(kTexts, hexText);
  ASSERT_TRUE(first.Execute(chosen, hexText));
  EXPECT_EQ(chosen, ole::CF_OEMTEXT);
  EXPECT_TRUE(hexText);
  TFormatSelDialog second({ole::CF_TEXT, ole::CF_OEMTEXT}, false);
  EXPECT_EQ(second.FormatList->currentRow(), 1) << "OEM Text preselected";
  WhenShown([](TFormatSelDialog& d) {
    d.FormatList->setCurrentRow(3);
    d.HexTextCheck->setChecked(false);
    d.OKButton->click();
  });
  TFormatSelDialog third(kTexts, hexText);
  ASSERT_TRUE(third.Execute(chosen, hexText));
  EXPECT_EQ(chosen, ole::CF_LOCALE);
  EXPECT_TRUE(hexText) << "a non-text choice leaves the box's value alone";
  WhenShown([](TFormatSelDialog& d) { d.CancelButton->click(); });
  TFormatSelDialog cancelled(kTexts, hexText);
  EXPECT_FALSE(cancelled.Execute(chosen, hexText));
  EXPECT_EQ(chosen, ole::CF_LOCALE);
  hex::SetLastChosenFormat(-1);
}

class QtTransfer : public ::testing::Test {
 protected:
  QtTransfer() {
    ole::SetCurrentClipboard(&clipboard);
    for (hex::THexEditorEx* e : {&source, &target}) {
      e->SetMessageQueue(queue);
      e->Loaded();
    }
  }
  ~QtTransfer() override {
    QGuiApplication::clipboard()->clear();
    ole::SetCurrentClipboard(nullptr);
  }
  std::vector<TClipFormat> Offered() {
    ole::ComPtr<ole::IDataObject> data;
    clipboard.GetClipboard(data);
    std::vector<TClipFormat> formats;
    const hex::TFormatEnum offered(*data.Get());
    for (const auto& f : offered.Formats())
      formats.push_back(f.cfFormat);
    return formats;
  }
  std::string TargetText() const {
    std::string text(static_cast<std::size_t>(target.DataSize()), '\0');
    target.ReadBlock(text.data(), 0, target.DataSize());
    return text;
  }

  platform::ManualMessageQueue queue;
  QtClipboard clipboard;
  hex::THexEditorEx source;
  hex::THexEditorEx target;
};

TEST_F(QtTransfer, ACopyIsOfferedToTheDesktopAndRenderedWhenRead) {
  source.AppendBuffer("\xCF\xF0\xE8", 3, "", false);  // "При" in Windows-1251
  source.SelectAll();
  ASSERT_TRUE(source.CopyToClipboard());
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(dynamic_cast<const HexMimeData*>(mime), nullptr);
  EXPECT_TRUE(mime->hasFormat("application/x-kestrave-hexeditor"));
  EXPECT_EQ(mime->text(), QString::fromUtf8("При")) << "text/plain as the desktop reads it";
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(TargetText(), "\xCF\xF0\xE8");
  EXPECT_EQ(target.ChosenFormat(true), hex::TransferFormats().Private);
}

TEST_F(QtTransfer, ForeignTextComesAsTheFourTextFormats) {
  QGuiApplication::clipboard()->setText(QString::fromUtf8("Ёж"));
  const auto offered = Offered();
  for (const TClipFormat f : kTexts)
    EXPECT_NE(std::find(offered.begin(), offered.end(), f), offered.end()) << f;
  hex::PreselectingChooser takeText;
  target.SetFormatChooser(&takeText);
  hex::SetLastChosenFormat(-1);
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(TargetText(), "\xA8\xE6") << "Windows-1251";
  hex::SetLastChosenFormat(ole::CF_OEMTEXT);
  target.CreateEmptyFile("");
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(TargetText(), "\xF0\xA6") << "CP866";
  hex::SetLastChosenFormat(ole::CF_UNICODETEXT);
  target.CreateEmptyFile("");
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(TargetText(), std::string("\x01\x04\x36\x04", 4)) << "UTF-16LE";
  hex::SetLastChosenFormat(-1);
}

// Counts what is fetched from it, as another program's clipboard would be asked over X.
class CountingMime : public QMimeData {
 public:
  mutable QStringList fetched;

 protected:
  QVariant retrieveData(const QString& type, QMetaType kind) const override {
    fetched << type;
    return QMimeData::retrieveData(type, kind);
  }
};

TEST_F(QtTransfer, ForeignFormatsAreListedWithoutFetchingTheirData) {
  auto* mime = new CountingMime;
  mime->setText(QString(4096, QChar('x')));
  mime->setHtml("<b>x</b>");
  mime->setData("text/rtf", "{\\rtf x}");
  QGuiApplication::clipboard()->setMimeData(mime);
  const auto offered = Offered();
  EXPECT_GE(offered.size(), 6u);
  EXPECT_TRUE(mime->fetched.isEmpty()) << "the format dialog must not wait for the data";
  hex::SetLastChosenFormat(ole::CF_TEXT);
  hex::PreselectingChooser preselect;
  target.SetFormatChooser(&preselect);
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(TargetText(), std::string(4096, 'x'));
  // Qt asks for the text as UTF-8 first, then as plain text; nothing else is fetched.
  for (const QString& type : mime->fetched)
    EXPECT_TRUE(type.startsWith("text/plain")) << type.toStdString();
  hex::SetLastChosenFormat(-1);
}

TEST_F(QtTransfer, FilesImagesAndHtmlGetTheirFormats) {
  test::TempDir dir;
  test::WriteAll(dir.File("a.bin"), "file bytes");
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("a.bin")))});
  QGuiApplication::clipboard()->setMimeData(mime);
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(TargetText(), "file bytes") << "a file list pastes the file's content";
  QImage image(2, 3, QImage::Format_RGB32);
  image.fill(Qt::red);
  QGuiApplication::clipboard()->setImage(image);
  auto offered = Offered();
  EXPECT_NE(std::find(offered.begin(), offered.end(), ole::CF_DIB), offered.end());
  EXPECT_NE(std::find(offered.begin(), offered.end(), ole::CF_BITMAP), offered.end());
  hex::SetLastChosenFormat(ole::CF_BITMAP);
  hex::PreselectingChooser preselect;
  target.SetFormatChooser(&preselect);
  target.CreateEmptyFile("");
  ASSERT_TRUE(target.PasteFromClipboard());
  EXPECT_EQ(target.DataSize(), 14 + 40 + 2 * 3 * 4) << "a complete BMP file";
  EXPECT_EQ(target.ReadByte(0), 'B');
  auto* html = new QMimeData;
  html->setHtml("<b>x</b>");
  QGuiApplication::clipboard()->setMimeData(html);
  offered = Offered();
  EXPECT_NE(std::find(offered.begin(), offered.end(), hex::TransferFormats().Html), offered.end());
  hex::SetLastChosenFormat(-1);
}

TEST_F(QtTransfer, TheEditorsCopyLeavesWithItUnlessFlushed) {
  source.AppendBuffer("abc", 3, "", false);
  source.SelectAll();
  {
    hex::THexEditorEx temporary;
    temporary.SetMessageQueue(queue);
    temporary.Loaded();
    temporary.AppendBuffer("xyz", 3, "", false);
    temporary.SelectAll();
    temporary.SetFlushClipboardAtShutDown(true);
    temporary.CopyToClipboard();
  }
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "xyz") << "flushed: still readable";
  {
    hex::THexEditorEx temporary;
    temporary.SetMessageQueue(queue);
    temporary.Loaded();
    temporary.AppendBuffer("xyz", 3, "", false);
    temporary.SelectAll();
    temporary.CopyToClipboard();
  }
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty()) << "emptied with the editor";
  queue.Pump();
}

}  // namespace
}  // namespace kestrave::view
