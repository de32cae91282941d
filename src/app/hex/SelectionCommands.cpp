#include "app/hex/SelectionCommands.h"

#include <QByteArray>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <vector>

#include "app/hex/CopyAs.h"
#include "app/hex/FileLimits.h"
#include "platform/CodePages.h"

namespace kestrave::app {
namespace {

// The window's parts share its translation context.
struct Texts {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)
};

}  // namespace

void CopySelectionAs(hex::THexEditorEx& editor, IHexDialogs& dialogs, const RunStep& run,
                     CopyForm form) {
  const int count = editor.SelectionCount();
  if (count == 0) {
    dialogs.ShowMessage(Texts::tr("Select the bytes to copy first.").toStdString());
    return;
  }
  // As text a selection takes two to four times its bytes: beyond this, use the plain copy.
  constexpr int kLargest = 64 << 20;
  if (count > kLargest) {
    dialogs.ShowError(Texts::tr("Copy As takes up to %1 MiB; the selection holds %2 bytes.")
                          .arg(kLargest >> 20)
                          .arg(count)
                          .toStdString());
    return;
  }
  run([&] {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    editor.ReadBlock(bytes.data(), editor.SelectionLow(), count);
    QString text;
    switch (form) {
      case CopyForm::HexText:
        text = QString::fromStdString(HexText(bytes));
        break;
      case CopyForm::CArray:
        text = QString::fromStdString(CArray(bytes));
        break;
      case CopyForm::Base64:
        text = QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), count).toBase64());
        break;
      case CopyForm::Text:
        text = QString::fromStdU16String(TranslatedText(bytes, [&editor](std::uint8_t byte) {
          return platform::AnsiCodePage().ToUnicode(editor.DataByteToChar(byte));
        }));
        break;
    }
    QGuiApplication::clipboard()->setText(text);
  });
}

void ShowSelectionChecksum(hex::THexEditorEx& editor, IHexDialogs& dialogs, const RunStep& run,
                           ChecksumKind kind) {
  const int count = editor.SelectionCount();
  if (count == 0) {
    dialogs.ShowMessage(Texts::tr("Select the bytes to sum first.").toStdString());
    return;
  }
  const QString name = QString::fromLatin1(ChecksumName(kind));
  run([&] {
    Checksum sum(kind);
    const int low = editor.SelectionLow();
    const bool showProgress = count >= kProgressFrom;
    constexpr int kPiece = 4 << 20;
    for (int done = 0; done < count;) {
      const int piece = std::min(kPiece, count - done);
      sum.Add(editor.ViewBytes(low + done, piece));
      done += piece;
      const int percent = static_cast<int>(std::int64_t{done} * 100 / count);
      if (showProgress &&
          dialogs.ShowProgress(Texts::tr("%1 of the selection").arg(name).toStdString(), percent)) {
        dialogs.EndProgress();
        return;
      }
    }
    dialogs.EndProgress();
    dialogs.ShowMessage(Texts::tr("%1 of %2 bytes from 0x%3:\n%4")
                            .arg(name)
                            .arg(count)
                            .arg(QString::number(low, 16).toUpper())
                            .arg(QString::fromStdString(sum.HexDigits()))
                            .toStdString());
  });
}

}  // namespace kestrave::app
