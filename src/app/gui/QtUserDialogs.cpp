#include "app/gui/QtUserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include "app/core/ConverterTexts.h"
#include "platform/ShownPaths.h"

namespace kestrave::app {
namespace {

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogOptions& options,
                                         QFileDialog::AcceptMode mode) {
  // Titled as the button that opened it, in the converter's language.
  QFileDialog dialog(parent, QString::fromUtf8(mode == QFileDialog::AcceptOpen ? text::kOpenFile
                                                                               : text::kSaveAmr));
  dialog.setAcceptMode(mode);
  // Qt's dialog looks for a chosen file under its shown name and would refuse one whose name is
  // not UTF-8; the load says when a name names no file.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QString::fromStdString(QtFilterFrom(options.Filter)));
  std::string suffix = options.DefaultExt;
  if (suffix.rfind("*.", 0) == 0) suffix.erase(0, 2);
  if (!suffix.empty()) dialog.setDefaultSuffix(QString::fromStdString(suffix));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const std::string chosen = dialog.selectedFiles().front().toStdString();
  return platform::PathShownAs(chosen).Path.value_or(chosen);
}

}  // namespace

std::string QtFilterFrom(const std::string& filter) {
  std::string out;
  std::size_t at = 0;
  while (at <= filter.size()) {
    const auto bar = filter.find('|', at);
    if (bar == std::string::npos) break;
    auto end = filter.find('|', bar + 1);
    if (end == std::string::npos) end = filter.size();
    if (!out.empty()) out += ";;";
    out += filter.substr(at, bar - at) + " (" + filter.substr(bar + 1, end - bar - 1) + ")";
    at = end + 1;
  }
  return out;
}

std::optional<std::string> QtUserDialogs::ChooseFileToOpen(const FileDialogOptions& options) {
  return RunFileDialog(parent_, options, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtUserDialogs::ChooseFileToSave(const FileDialogOptions& options) {
  return RunFileDialog(parent_, options, QFileDialog::AcceptSave);
}

void QtUserDialogs::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, QString::fromUtf8(text::kTitle), QString::fromStdString(text));
}

void QtUserDialogs::ShowError(const std::string& text) {
  QMessageBox::critical(parent_, QString::fromUtf8(text::kTitle), QString::fromStdString(text));
}

}  // namespace kestrave::app
