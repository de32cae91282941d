// Printing through Qt's PDF printer, read back as a reader sees the pages.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <optional>

#include "app/hex/HexPrint.h"
#include "app/hex/HexPrintPreview.h"
#include "app/hex/HexWindow.h"
#include "support/PdfPages.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

// Letters, so the character column can be read back too.
std::vector<std::uint8_t> Letters(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<std::uint8_t>('A' + i % 26);
  return bytes;
}

std::string Squeezed(const std::string& text) {
  return QString::fromStdString(text)
      .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "))
      .toStdString();
}

class HexPrint : public ::testing::Test {
 protected:
  void Open(std::size_t size) {
    test::WriteAll(dir.File("data.bin"), Letters(size));
    window.OpenFile(dir.File("data.bin"));
    QApplication::processEvents();
  }
  test::PdfPages Print(HexPrintChoice choice = {}, int from = 0, int to = 0) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("out.pdf")));
    printer.setFromTo(from, to);
    if (paper) printer.setPageLayout(*paper);
    printed = PrintDocument(window.Editor(), printer, choice);
    return test::ReadPdf(dir.File("out.pdf"));
  }
  // A row as the view shows it: the offset, the hex digits by column and the characters.
  std::string RowText(int first, int count) {
    hex::THexEditorEx& editor = window.Editor();
    std::string text = editor.GetOffsetText(static_cast<std::uint32_t>(first)) + " ";
    std::string chars;
    for (int p = first; p < first + count; ++p) {
      const std::uint8_t byte = editor.ReadByte(p);
      text += editor.HexDigits()[byte >> 4];
      text += editor.HexDigits()[byte & 15];
      if ((p - first) % editor.BytesPerColumn() == editor.BytesPerColumn() - 1) text += ' ';
      chars += static_cast<char>(byte);
    }
    return text + chars;
  }

  test::TempDir dir;
  HexWindow window;
  int printed = 0;
  // The paper Print uses; the printer's default when none.
  std::optional<QPageLayout> paper;
};

TEST_F(HexPrint, EveryRowIsPrintedUnderAHeaderWithTheFileAndPageNumber) {
  const struct {
    std::size_t size;
    int from, to;  // the printer's page range; 0 for all
  } cases[] = {{600, 0, 0}, {64 * 1024, 0, 0}, {64 * 1024, 2, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, pages " << c.from << "-" << c.to);
    Open(c.size);
    const test::PdfPages all = Print();
    const int pages = static_cast<int>(all.Texts.size());
    const test::PdfPages pdf = Print({}, c.from, c.to);
    const int expected = c.from > 0 ? c.to - c.from + 1 : pages;
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(pdf.Rendered, expected);
    ASSERT_EQ(static_cast<int>(pdf.Texts.size()), expected);
    const int firstPage = c.from > 0 ? c.from : 1;
    for (int i = 0; i < expected; ++i) {
      const std::string page = Squeezed(pdf.Texts[static_cast<std::size_t>(i)]);
      EXPECT_NE(page.find("data.bin"), std::string::npos) << page.substr(0, 200);
      const std::string number =
          "Page " + std::to_string(firstPage + i) + " of " + std::to_string(pages);
      EXPECT_NE(page.find(number), std::string::npos) << page.substr(0, 200);
    }
    // The first and the last row of the data, on the first and the last page of the printout.
    const std::string first = Squeezed(pdf.Texts.front());
    if (c.from <= 1) {
      EXPECT_NE(first.find(RowText(0, 16)), std::string::npos) << first;
    }
    if (c.from == 0) {
      const int lastRow = static_cast<int>(c.size - 1) / 16 * 16;
      const std::string last = Squeezed(pdf.Texts.back());
      EXPECT_NE(last.find(RowText(lastRow, static_cast<int>(c.size) - lastRow)), std::string::npos)
          << last.substr(last.size() > 400 ? last.size() - 400 : 0);
    }
  }
  EXPECT_GT(printed, 1) << "64 KiB take more than one page";
}

TEST_F(HexPrint, TheSelectionAloneLeavesTheRestOfItsRowsBlank) {
  Open(600);
  window.Editor().SetSelection(40, 59);
  HexPrintChoice selection;
  selection.SelectionOnly = true;
  const test::PdfPages pdf = Print(selection);
  ASSERT_EQ(pdf.Texts.size(), 1u);
  const std::string page = Squeezed(pdf.Texts.front());
  hex::THexEditorEx& editor = window.Editor();
  EXPECT_NE(page.find(editor.GetOffsetText(32)), std::string::npos);
  EXPECT_NE(page.find(editor.GetOffsetText(48)), std::string::npos);
  EXPECT_EQ(page.find(editor.GetOffsetText(64)), std::string::npos) << page;
  EXPECT_EQ(page.find(RowText(32, 16)), std::string::npos) << "bytes 32 to 39 are not printed";
  EXPECT_NE(page.find(RowText(48, 12).substr(RowText(48, 12).find(' ') + 1, 10)), std::string::npos)
      << page;
}

TEST_F(HexPrint, HeaderAndFooterTextsTakeTheFileAndPageNumbers) {
  Open(64 * 1024);
  window.Editor().PrintOptions().SetPageHeader("Dump of &f");
  window.Editor().PrintOptions().SetPageFooter("&p / &n && more");
  const test::PdfPages pdf = Print();
  ASSERT_GT(pdf.Texts.size(), 1u);
  const std::string pages = std::to_string(pdf.Texts.size());
  for (std::size_t i = 0; i < pdf.Texts.size(); ++i) {
    const std::string page = Squeezed(pdf.Texts[i]);
    EXPECT_NE(page.find("Dump of data.bin"), std::string::npos);
    EXPECT_NE(page.find(std::to_string(i + 1) + " / " + pages + " & more"), std::string::npos)
        << page.substr(page.size() > 200 ? page.size() - 200 : 0);
  }
}

// File > Print Preview shows the pages the printout would have, for the window's file.
TEST_F(HexPrint, TheFileMenuPreviewsThePrintout) {
  Open(64 * 1024);
  const int pages = static_cast<int>(Print().Texts.size());
  auto* print = window.findChild<QAction*>(QStringLiteral("print"));
  auto* preview = window.findChild<QAction*>(QStringLiteral("printPreview"));
  ASSERT_TRUE(print && preview);
  EXPECT_EQ(print->shortcut(), QKeySequence(QKeySequence::Print));
  int shown = -1;
  QTimer::singleShot(0, [&shown] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (auto* preview = dynamic_cast<HexPrintPreview*>(dialog)) shown = preview->PageCount();
    if (dialog) dialog->close();
  });
  preview->trigger();
  EXPECT_EQ(shown, pages);
}

// The share of one picture's ink that has none of the other's within a pixel: small for the
// same text drawn by two renderers, large for other text.
double Unmatched(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_Grayscale8);
  const QImage y = b.convertToFormat(QImage::Format_Grayscale8);
  const auto ink = [](const QImage& image, int col, int row) {
    return col >= 0 && row >= 0 && col < image.width() && row < image.height() &&
           image.constScanLine(row)[col] < 128;
  };
  int inked = 0;
  int lone = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      if (!ink(x, col, row)) continue;
      ++inked;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx)
          near = ink(y, col + dx, row + dy);
      if (!near) ++lone;
    }
  return inked > 0 ? static_cast<double>(lone) / inked : 1.0;
}

// A page of the preview has the printed page's rows at the printed page's places: page 2 of
// the preview against page 2 of the PDF, both at the same size.
TEST_F(HexPrint, ThePreviewShowsEachPageAsItPrints) {
  Open(64 * 1024);
  HexPrintPreview preview(&window, window.Editor(), QStringLiteral("data.bin"));
  paper = preview.PageLayout();
  const test::PdfPages pdf = Print();
  ASSERT_EQ(static_cast<int>(pdf.Texts.size()), preview.PageCount());
  // About 100 dpi: the digits are some ten pixels tall.
  const QSizeF inches = preview.PageLayout().fullRect(QPageLayout::Inch).size();
  const QSize size = (inches * 100).toSize();
  const QImage printed = test::RenderPdfPage(dir.File("out.pdf"), 2, size);
  ASSERT_EQ(printed.size(), size);
  const auto apart = [&printed](const QImage& shown) {
    return std::max(Unmatched(shown, printed), Unmatched(printed, shown));
  };
  EXPECT_LT(apart(preview.PageImage(2, size)), 0.02);
  EXPECT_GT(apart(preview.PageImage(3, size)), 0.05) << "the next page is told apart";
}

// The keys turn whole pages, and the page field goes to the page typed, whatever the zoom.
TEST_F(HexPrint, ThePreviewTurnsPagesByKeyAndField) {
  Open(64 * 1024);
  HexPrintPreview preview(&window, window.Editor(), QStringLiteral("data.bin"));
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&preview));
  const int last = preview.PageCount();
  ASSERT_GT(last, 3);
  auto* field = preview.findChild<QSpinBox*>(QStringLiteral("page"));
  auto* pages = preview.findChild<QWidget*>(QStringLiteral("pages"));
  ASSERT_TRUE(field && pages);
  for (const char* zoom : {"Fit Width", "Fit Page", "Zoom Out"}) {
    SCOPED_TRACE(zoom);
    for (QAction* action : preview.findChildren<QAction*>())
      if (action->text() == QLatin1String(zoom)) action->trigger();
    pages->setFocus();
    const struct {
      Qt::Key key;
      int page;
    } steps[] = {{Qt::Key_Home, 1},   {Qt::Key_PageDown, 2}, {Qt::Key_PageDown, 3},
                 {Qt::Key_PageUp, 2}, {Qt::Key_End, last},   {Qt::Key_PageUp, last - 1}};
    for (const auto& step : steps) {
      QTest::keyClick(pages, step.key);
      EXPECT_EQ(preview.CurrentPage(), step.page) << step.key;
      EXPECT_EQ(field->value(), step.page) << step.key;
    }
    field->setValue(3);
    EXPECT_EQ(preview.CurrentPage(), 3);
  }
}

}  // namespace
}  // namespace kestrave::app
