#include "view/FormatSelDialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "platform/ole/OleTypes.h"

namespace kestrave::view {

namespace ole = platform::ole;

namespace {

constexpr int kFormatRole = Qt::UserRole;

bool IsEightBitText(hex::TClipFormat format) {
  return format == ole::CF_TEXT || format == ole::CF_OEMTEXT;
}

}  // namespace

TFormatSelDialog::TFormatSelDialog(const std::vector<hex::TClipFormat>& formats, bool hexText,
                                   QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize desktop = screen ? screen->size() : QSize(1024, 768);
  setFixedSize(desktop.width() / 4, desktop.height() / 4);
  setWindowTitle(QStringLiteral("Select Data Format"));

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setDefault(true);
  OKButton->setEnabled(false);
  CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  HexTextCheck = new QCheckBox(QStringLiteral("Hex Text"), this);
  HexTextCheck->setEnabled(false);
  HexTextCheck->setChecked(hexText);
  FormatList = new QListWidget(this);

  const int buttonWidth = width() / 2 - 32;
  const int buttonHeight = OKButton->sizeHint().height();
  const int buttonTop = height() - buttonHeight - 8;
  OKButton->setGeometry(16, buttonTop, buttonWidth, buttonHeight);
  CancelButton->setGeometry(width() - buttonWidth - 16, buttonTop, buttonWidth, buttonHeight);
  const int boxHeight = HexTextCheck->sizeHint().height();
  HexTextCheck->setGeometry(16, buttonTop - boxHeight - 8, width() - 16, boxHeight);
  FormatList->setGeometry(0, 0, width(), height() - buttonHeight - boxHeight - 24);

  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(FormatList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(FormatList, &QListWidget::currentRowChanged, this, [this] { ApplyBoxRule(); });
  Fill(formats);
}

void TFormatSelDialog::Fill(const std::vector<hex::TClipFormat>& formats) {
  for (const hex::TClipFormat format : formats) {
    auto* item = new QListWidgetItem(QString::fromStdString(hex::FormatDisplayName(format)));
    item->setData(kFormatRole, format);
    FormatList->addItem(item);
    OKButton->setEnabled(true);
  }
  if (!formats.empty()) FormatList->setCurrentRow(static_cast<int>(hex::PreselectedIndex(formats)));
  ApplyBoxRule();
}

// The box applies only to the two 8-bit texts; its checked state is left alone.
void TFormatSelDialog::ApplyBoxRule() {
  HexTextCheck->setEnabled(FormatList->currentItem() && IsEightBitText(SelectedFormat()));
}

hex::TClipFormat TFormatSelDialog::SelectedFormat() const {
  const QListWidgetItem* item = FormatList->currentItem();
  return item ? static_cast<hex::TClipFormat>(item->data(kFormatRole).toUInt()) : 0;
}

bool TFormatSelDialog::Execute(hex::TClipFormat& chosen, bool& hexText) {
  if (exec() != QDialog::Accepted || !FormatList->currentItem()) return false;
  chosen = SelectedFormat();
  if (IsEightBitText(chosen)) hexText = HexTextCheck->isChecked();
  hex::SetLastChosenFormat(chosen);
  return true;
}

bool QtFormatChooser::Choose(const std::vector<hex::TClipFormat>& formats, hex::TClipFormat& chosen,
                             bool& hexText) {
  TFormatSelDialog dialog(formats, hexText);
  return dialog.Execute(chosen, hexText);
}

}  // namespace kestrave::view
