#include "app/hex/HexPrint.h"

#include <QAction>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <array>
#include <cmath>

#include "app/hex/EditorTexts.h"
#include "app/hex/HexPrintPreview.h"
#include "hexeditor/print/PrintLayout.h"
#include "platform/Guard.h"

namespace kestrave::app {
namespace {

constexpr std::size_t kInks = static_cast<std::size_t>(hex::TPrintInk::kCount);

QColor ToQColor(hex::TColor rgb) {
  return QColor(hex::RedOf(rgb), hex::GreenOf(rgb), hex::BlueOf(rgb));
}

// Paper is white whatever the desktop's colours: the view's stored colours are printed as they
// are on a light desktop.
QColor PaperColor(const hex::THexEditorEx& editor, hex::THexColors::Index index) {
  return ToQColor(hex::ResolveColor(editor.Colors().Get(index), hex::DefaultSystemColors()));
}

std::array<QColor, kInks> InkColors(const hex::THexEditorEx& editor) {
  std::array<QColor, kInks> inks;
  inks.fill(Qt::black);
  if (editor.PrintOptions().Flags() & hex::PrintFlagBit(hex::pfMonochrome)) return inks;
  using hex::THexColors;
  using hex::TPrintInk;
  inks[static_cast<std::size_t>(TPrintInk::Offset)] = PaperColor(editor, THexColors::Offset);
  inks[static_cast<std::size_t>(TPrintInk::OddColumn)] = PaperColor(editor, THexColors::OddColumn);
  inks[static_cast<std::size_t>(TPrintInk::EvenColumn)] =
      PaperColor(editor, THexColors::EvenColumn);
  inks[static_cast<std::size_t>(TPrintInk::Changed)] = PaperColor(editor, THexColors::ChangedText);
  return inks;
}

QString FileNameOf(const hex::THexEditorEx& editor, const HexPrintChoice& choice) {
  return choice.FileName.isEmpty() ? DocumentName(editor.FileName()) : choice.FileName;
}

// Draws a line one ink at a time: each as the whole line with blanks where the others stand,
// so a row takes a few calls whatever its length.
void DrawLine(QPainter& painter, const hex::TPrintLine& line, qreal baseline,
              const std::array<QColor, kInks>& inks, const QFont& font, const QFont& bold) {
  std::array<bool, kInks> present{};
  for (std::size_t i = 0; i < line.Text.size(); ++i)
    if (line.Text[i] != u' ') present[static_cast<std::size_t>(line.Inks[i])] = true;
  for (std::size_t ink = 0; ink < kInks; ++ink) {
    if (!present[ink]) continue;
    QString text(static_cast<qsizetype>(line.Text.size()), QLatin1Char(' '));
    for (std::size_t i = 0; i < line.Text.size(); ++i)
      if (static_cast<std::size_t>(line.Inks[i]) == ink)
        text[static_cast<qsizetype>(i)] = QChar(line.Text[i]);
    const bool selected = ink == static_cast<std::size_t>(hex::TPrintInk::Selected);
    painter.setFont(selected ? bold : font);
    painter.setPen(inks[ink]);
    painter.drawText(QPointF(0, baseline), text);
  }
}

}  // namespace

QFont HexPrinting::PrintFont(const hex::THexEditorEx& editor, const QPrinter&) {
  const platform::FontDescription& wanted =
      editor.UseEditorFontForPrinting() ? editor.Font() : editor.PrintFont();
  QFont font(QString::fromStdString(wanted.Name));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  // The component's heights are pixels of a 96 dpi screen.
  font.setPointSizeF(std::max(wanted.Height, 1) * 72.0 / 96.0);
  return font;
}

HexPrintPages::HexPrintPages(hex::THexEditorEx& editor, QPrinter& printer,
                             const HexPrintChoice& choice)
    : editor_(editor), layout_(editor, choice.SelectionOnly) {
  const hex::THexPrintOptions& options = editor.PrintOptions();
  printer.setFullPage(false);
  printer.setPageMargins(QMarginsF(options.MarginLeft(), options.MarginTop(), options.MarginRight(),
                                   options.MarginBottom()),
                         QPageLayout::Millimeter);
  paper_ = printer.paperRect(QPrinter::DevicePixel);
  page_ = printer.pageRect(QPrinter::DevicePixel);
  resolution_ = printer.resolution();

  // A row is never cut: a font too wide for the page is made smaller.
  font_ = HexPrinting::PrintFont(editor, printer);
  const int length = std::max(layout_.LineLength(), 1);
  const qreal wanted = QFontMetricsF(font_, &printer).horizontalAdvance(QLatin1Char('0')) * length;
  if (wanted > page_.width())
    font_.setPointSizeF(std::max(font_.pointSizeF() * page_.width() / wanted, 1.0));
  bold_ = font_;
  bold_.setBold(true);
  const QFontMetricsF metrics(font_, &printer);
  line_ = metrics.lineSpacing();
  ascent_ = metrics.ascent();

  header_ = options.PageHeader();
  footer_ = options.PageFooter();
  const qreal headerHeight = 1.5 * line_;
  const qreal footerHeight = footer_.empty() ? 0 : 1.5 * line_;
  const qreal rulerHeight = layout_.WithRuler() ? line_ : 0;
  rowsPerPage_ = std::max(
      static_cast<int>((page_.height() - headerHeight - footerHeight - rulerHeight) / line_), 1);
  pages_ = hex::THexPrintLayout::PageCount(layout_.RowCount(), rowsPerPage_);
  inks_ = InkColors(editor);
  backgrounds_ = options.Flags() & hex::PrintFlagBit(hex::pfUseBackgroundColor);
  fileName_ = FileNameOf(editor, choice);
}

void HexPrintPages::Paint(QPainter& painter, int p) const {
  const QRectF page(QPointF(0, 0), page_.size());
  if (backgrounds_) painter.fillRect(page, PaperColor(editor_, hex::THexColors::Background));
  painter.setFont(font_);
  painter.setPen(Qt::black);
  const QRectF headerBox(0, 0, page.width(), line_);
  if (header_.empty()) {
    painter.drawText(headerBox, Qt::AlignLeft | Qt::AlignVCenter, fileName_);
    painter.drawText(headerBox, Qt::AlignRight | Qt::AlignVCenter,
                     HexPrinting::tr("Page %1 of %2").arg(p).arg(pages_));
  } else {
    painter.drawText(
        headerBox, Qt::AlignLeft | Qt::AlignVCenter,
        QString::fromStdString(hex::ExpandPageText(header_, fileName_.toStdString(), p, pages_)));
  }
  painter.drawLine(QPointF(0, 1.25 * line_), QPointF(page.width(), 1.25 * line_));
  qreal top = 1.5 * line_;
  if (layout_.WithRuler()) {
    DrawLine(painter, layout_.Ruler(), top + ascent_, inks_, font_, bold_);
    top += line_;
  }
  const int first = (p - 1) * rowsPerPage_;
  const int last = std::min(first + rowsPerPage_, layout_.RowCount());
  for (int row = first; row < last; ++row) {
    DrawLine(painter, layout_.Row(row), top + ascent_, inks_, font_, bold_);
    top += line_;
  }
  if (!footer_.empty()) {
    painter.setFont(font_);
    painter.setPen(Qt::black);
    painter.drawText(
        QRectF(0, page.height() - line_, page.width(), line_), Qt::AlignLeft | Qt::AlignVCenter,
        QString::fromStdString(hex::ExpandPageText(footer_, fileName_.toStdString(), p, pages_)));
  }
}

int HexPrinting::PrintDocument(hex::THexEditorEx& editor, QPrinter& printer,
                               const HexPrintChoice& choice) {
  const HexPrintPages pages(editor, printer, choice);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const int count = pages.PageCount();
  const int fromPage = printer.fromPage() > 0 ? std::min(printer.fromPage(), count) : 1;
  const int toPage = printer.toPage() > 0 ? std::min(printer.toPage(), count) : count;
  int printed = 0;
  for (int p = fromPage; p <= toPage; ++p) {
    if (printed > 0 && !printer.newPage()) break;
    ++printed;
    pages.Paint(painter, p);
  }
  painter.end();
  return printed;
}

namespace {

bool SelectionOnlyByDefault(const hex::THexEditorEx& editor) {
  return editor.SelectionCount() > 0 &&
         (editor.PrintOptions().Flags() & hex::PrintFlagBit(hex::pfSelectionOnly));
}

}  // namespace

HexPrintChoice PrintChoiceOf(const hex::THexEditorEx& editor, const QString& name) {
  HexPrintChoice choice;
  choice.SelectionOnly = SelectionOnlyByDefault(editor);
  choice.FileName = name;
  return choice;
}

bool PrintFile(QWidget* parent, hex::THexEditorEx& editor, const QString& name) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(name);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(HexPrinting::tr("Print"));
  dialog.setOption(QAbstractPrintDialog::PrintSelection, editor.SelectionCount() > 0);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  if (SelectionOnlyByDefault(editor)) printer.setPrintRange(QPrinter::Selection);
  if (dialog.exec() != QDialog::Accepted) return false;
  HexPrintChoice choice;
  choice.SelectionOnly = printer.printRange() == QPrinter::Selection;
  choice.FileName = name;
  return PrintDocument(editor, printer, choice) > 0;
}

void PreviewFile(QWidget* parent, hex::THexEditorEx& editor, const QString& name) {
  HexPrintPreview preview(parent, editor, name);
  preview.exec();
}

void AddPrintActions(QMenu& menu, QWidget* parent, CurrentEditor current) {
  // An error on the way (the file cannot be read, say) ends the printout and is shown.
  const auto run = [parent, current](void (*show)(QWidget*, hex::THexEditorEx&, const QString&)) {
    platform::RunGuarded([&] {
      if (hex::THexEditorEx* editor = current ? current() : nullptr)
        show(parent, *editor, DocumentName(editor->FileName()));
    });
  };
  QAction* print = menu.addAction(HexPrinting::tr("&Print..."), parent, [run] {
    run([](QWidget* p, hex::THexEditorEx& e, const QString& n) { PrintFile(p, e, n); });
  });
  print->setShortcut(QKeySequence::Print);
  print->setObjectName(QStringLiteral("print"));
  QAction* preview =
      menu.addAction(HexPrinting::tr("Print Pre&view..."), parent, [run] { run(&PreviewFile); });
  preview->setObjectName(QStringLiteral("printPreview"));
}

}  // namespace kestrave::app
