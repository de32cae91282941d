#pragma once

#include <QImage>
#include <QProcess>
#include <QSize>
#include <QStringList>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace kestrave::test {

// A PDF as a reader sees it: the pages poppler renders, and the text of each, laid out.
struct PdfPages {
  int Rendered = 0;
  std::vector<std::string> Texts;
};

inline PdfPages ReadPdf(const std::string& pdf) {
  PdfPages pages;
  const TempDir images;
  QProcess render;
  render.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
                QString::fromStdString(pdf), QString::fromStdString(images.File("page"))});
  if (render.waitForFinished(60000) && render.exitCode() == 0)
    pages.Rendered = static_cast<int>(images.Entries().size());
  QProcess text;
  text.start(QStringLiteral("pdftotext"),
             {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
  if (!text.waitForFinished(60000)) return pages;
  const QStringList texts = QString::fromUtf8(text.readAllStandardOutput()).split(QChar('\f'));
  // The text ends with a form feed: the part after it is no page.
  for (qsizetype i = 0; i + 1 < texts.size(); ++i)
    pages.Texts.push_back(texts[i].toStdString());
  return pages;
}

// Page Page (from 1) of a PDF as poppler renders it at Size, in grey; null when it cannot.
inline QImage RenderPdfPage(const std::string& pdf, int page, const QSize& size) {
  const TempDir images;
  QProcess render;
  const QString number = QString::number(page);
  render.start(
      QStringLiteral("pdftoppm"),
      {QStringLiteral("-f"), number, QStringLiteral("-l"), number, QStringLiteral("-scale-to-x"),
       QString::number(size.width()), QStringLiteral("-scale-to-y"), QString::number(size.height()),
       QStringLiteral("-gray"), QStringLiteral("-singlefile"), QStringLiteral("-png"),
       QString::fromStdString(pdf), QString::fromStdString(images.File("page"))});
  if (!render.waitForFinished(60000) || render.exitCode() != 0) return {};
  return QImage(QString::fromStdString(images.File("page.png")));
}

}  // namespace kestrave::test
