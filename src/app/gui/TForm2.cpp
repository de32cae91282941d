#include "app/gui/TForm2.h"

#include <QLabel>
#include <QPushButton>

#include "app/core/ConverterTexts.h"
#include "app/gui/WindowLook.h"

namespace kestrave::app {
namespace {

// Short enough to stay clear of the OK button, which starts 136 pixels to the right of them.
constexpr char kCreditProgram[] = "Записи AMR из .drf";
constexpr char kCreditVersion[] = "Версия " KESTRAVE_VERSION;
constexpr char kCreditLicence[] = "Лицензия MIT";

QLabel* CreditLine(QWidget* parent, const char* text, int top) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->move(40, top);
  label->adjustSize();
  return label;
}

}  // namespace

TForm2::TForm2(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QString::fromUtf8(text::kAuthor));
  setFixedSize(269, 106);
  setFont(WindowFont());
  setModal(true);

  Label1 = new QLabel(QString::fromUtf8(text::kTitle), this);
  Label1->setGeometry(16, 8, 92, 23);
  Label1->setFont(FontOfHeight("Times New Roman", 21, QFont::Serif));
  Label2 = CreditLine(this, kCreditProgram, 35);
  Label3 = CreditLine(this, kCreditVersion, 51);
  Label3->setLayoutDirection(Qt::LeftToRight);
  Label4 = CreditLine(this, kCreditLicence, 67);

  Button1 = new QPushButton(QString::fromUtf8(text::kOk), this);
  Button1->setGeometry(176, 72, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm2::Button1Click() {
  accept();
}

void TForm2::showEvent(QShowEvent* event) {
  if (const QWidget* owner = parentWidget())
    move(owner->frameGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

}  // namespace kestrave::app
