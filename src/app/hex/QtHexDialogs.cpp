#include "app/hex/QtHexDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/hex/EditorTexts.h"
#include "platform/FileSystem.h"
#include "platform/ShownPaths.h"

namespace kestrave::app {
namespace {

// The dialogs' texts get their own translation context, the class's name.
struct DialogTexts {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::QtHexDialogs)
};

QString Title() {
  return QStringLiteral("kestrave-hex");
}

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

// A dialog as narrow as its fields would show its title cut ("Перехо…ещению"): it is made wide
// enough for the title and the frame's buttons around it.
void KeepTitleWhole(QDialog& dialog) {
  constexpr int kFrameButtons = 160;
  const int title = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) * 5 / 4;
  dialog.setMinimumWidth(std::max(dialog.minimumSizeHint().width(), title + kFrameButtons));
}

}  // namespace

// The dialogs show a name that is not UTF-8 (CP1251, say) with U+FFFD for its bytes and return
// it so: the entry of the folder shown that way is the file meant.
std::optional<std::string> QtHexDialogs::OnDisk(const QString& chosen) {
  if (chosen.isEmpty()) return std::nullopt;
  const platform::ShownPathMatch match = platform::PathShownAs(chosen.toStdString());
  if (match.Path) return match.Path;
  ShowError(DialogTexts::tr("Several files in %1 are shown as \"%2\"; rename them so that their "
                            "names can be told apart.")
                .arg(ToQString(match.AmbiguousIn), ToQString(match.AmbiguousPart))
                .toStdString());
  return std::nullopt;
}

QtHexDialogs::QtHexDialogs(QWidget* parent) : parent_(parent) {}

QtHexDialogs::~QtHexDialogs() = default;

std::optional<std::string> QtHexDialogs::ChooseFileToOpen(const std::string& folder) {
  QFileDialog dialog(parent_, DialogTexts::tr("Open"), ToQString(folder));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt's own dialog looks for a chosen file under its shown name: one whose name is not UTF-8 it
  // would not find, and refuse. The window says when a name names no file.
  dialog.setFileMode(QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return OnDisk(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtHexDialogs::ChooseFileToSave(const std::string& suggested) {
  const QString shown = ToQString(suggested);
  QFileDialog dialog(parent_, DialogTexts::tr("Save As"), shown);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().constFirst();
  // The file's own name, unchanged: its bytes as they are.
  if (chosen == shown) return suggested;
  const std::optional<std::string> path = OnDisk(chosen);
  // The dialog asks before replacing a file it finds under the shown name; one found by its
  // bytes is asked about here.
  if (path && *path != chosen.toStdString() && platform::FileExists(*path) &&
      QMessageBox::question(parent_, Title(),
                            DialogTexts::tr("%1 already exists.\nDo you want to replace it?")
                                .arg(ToQString(platform::BaseNameOf(*path)))) != QMessageBox::Yes)
    return std::nullopt;
  return path;
}

std::optional<FindRequest> QtHexDialogs::AskWhatToFind(const FindRequest& previous) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(DialogTexts::tr("Find"));
  auto* layout = new QFormLayout(&dialog);
  auto* text = new QLineEdit(ToQString(previous.Text), &dialog);
  text->selectAll();
  auto* hexDigits = new QCheckBox(DialogTexts::tr("Hex digits"), &dialog);
  hexDigits->setChecked(previous.HexDigits);
  auto* ignoreCase = new QCheckBox(DialogTexts::tr("Ignore case"), &dialog);
  ignoreCase->setChecked(previous.IgnoreCase);
  auto* inSelection = new QCheckBox(DialogTexts::tr("Only in the selection"), &dialog);
  inSelection->setChecked(previous.InSelection);
  layout->addRow(DialogTexts::tr("Find:"), text);
  layout->addRow(hexDigits);
  layout->addRow(ignoreCase);
  layout->addRow(inSelection);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  KeepTitleWhole(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FindRequest{text->text().toStdString(), hexDigits->isChecked(), ignoreCase->isChecked(),
                     inSelection->isChecked()};
}

std::optional<ReplaceRequest> QtHexDialogs::AskWhatToReplace(const ReplaceRequest& previous) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(DialogTexts::tr("Replace"));
  auto* layout = new QFormLayout(&dialog);
  auto* find = new QLineEdit(ToQString(previous.Find.Text), &dialog);
  find->selectAll();
  auto* replacement = new QLineEdit(ToQString(previous.Replacement), &dialog);
  auto* hexDigits = new QCheckBox(DialogTexts::tr("Hex digits"), &dialog);
  hexDigits->setChecked(previous.Find.HexDigits);
  auto* ignoreCase = new QCheckBox(DialogTexts::tr("Ignore case"), &dialog);
  ignoreCase->setChecked(previous.Find.IgnoreCase);
  auto* inSelection = new QCheckBox(DialogTexts::tr("Only in the selection"), &dialog);
  inSelection->setChecked(previous.Find.InSelection);
  layout->addRow(DialogTexts::tr("Find:"), find);
  layout->addRow(DialogTexts::tr("Replace with:"), replacement);
  layout->addRow(hexDigits);
  layout->addRow(ignoreCase);
  layout->addRow(inSelection);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* one = buttons->addButton(DialogTexts::tr("&Replace"), QDialogButtonBox::AcceptRole);
  QPushButton* all =
      buttons->addButton(DialogTexts::tr("Replace &All"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addRow(buttons);
  bool everything = false;
  QObject::connect(one, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(all, &QPushButton::clicked, &dialog, [&] {
    everything = true;
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  KeepTitleWhole(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ReplaceRequest{{find->text().toStdString(), hexDigits->isChecked(),
                         ignoreCase->isChecked(), inSelection->isChecked()},
                        replacement->text().toStdString(),
                        everything};
}

std::optional<std::string> QtHexDialogs::AskOffset(const std::string& previous) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(DialogTexts::tr("Go to Offset"));
  auto* layout = new QFormLayout(&dialog);
  auto* text = new QLineEdit(ToQString(previous), &dialog);
  text->selectAll();
  text->setPlaceholderText(DialogTexts::tr("1234, 0x4D2, +16, -0x10 or 50%"));
  layout->addRow(DialogTexts::tr("Offset:"), text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  KeepTitleWhole(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return text->text().toStdString();
}

SaveChangesAnswer QtHexDialogs::AskSaveChanges(const std::string& name) {
  const auto answer = QMessageBox::question(
      parent_, Title(), DialogTexts::tr("%1 has changed. Save it first?").arg(ToQString(name)),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  if (answer == QMessageBox::Save) return SaveChangesAnswer::Save;
  if (answer == QMessageBox::Discard) return SaveChangesAnswer::Discard;
  return SaveChangesAnswer::Cancel;
}

bool QtHexDialogs::Confirm(const Question& question) {
  QMessageBox box(QMessageBox::Question, Title(), ToQString(question.Text), QMessageBox::NoButton,
                  parent_);
  QPushButton* yes = box.addButton(ToQString(question.Yes), QMessageBox::AcceptRole);
  QPushButton* no = box.addButton(ToQString(question.No), QMessageBox::RejectRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

// The dialog is modal to the whole program: while the work runs, its Cancel button is the only
// input anything takes, so no window can start a second operation or close mid-way.
bool QtHexDialogs::ShowProgress(const std::string& text, int percent) {
  if (!progress_) {
    progress_ = std::make_unique<QProgressDialog>(ToQString(text), DialogTexts::tr("Cancel"), 0,
                                                  100, parent_);
    progress_->setWindowTitle(Title());
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(300);
  } else if (progress_->labelText() != ToQString(text)) {
    progress_->setLabelText(ToQString(text));
  }
  progress_->setValue(percent);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  return progress_->wasCanceled();
}

void QtHexDialogs::EndProgress() {
  progress_.reset();
}

void QtHexDialogs::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, Title(), ToQString(text));
}

void QtHexDialogs::ShowHelp(const std::string& title, const std::string& text) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(ToQString(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* page = new QPlainTextEdit(ToQString(text), &dialog);
  page->setReadOnly(true);
  page->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The page is laid out in columns of characters.
  page->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(page);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  // As wide as the longest line, where the screen has the room.
  int widest = 0;
  for (const QString& line : ToQString(text).split(QLatin1Char('\n')))
    widest = std::max(widest, page->fontMetrics().horizontalAdvance(line));
  const QRect screen =
      (parent_ ? parent_->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  dialog.resize(std::clamp(widest + 80, 600, screen.width() * 9 / 10),
                std::min(560, screen.height() * 9 / 10));
  dialog.exec();
}

void QtHexDialogs::ShowError(const std::string& text) {
  // The component's own messages come in English; they are shown in the user's language.
  QMessageBox::critical(parent_, Title(), TranslatedErrorText(text));
}

}  // namespace kestrave::app
