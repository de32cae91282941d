#include "app/gui/TForm1.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include "app/core/ConverterTexts.h"
#include "app/gui/KestraveApplication.h"
#include "app/gui/TForm2.h"
#include "app/gui/WindowLook.h"
#include "platform/UserInterface.h"

namespace kestrave::app {
namespace {

constexpr int kClientWidth = 244;
constexpr int kClientHeight = 204;

}  // namespace

TForm1::TForm1(IUserDialogs& dialogs)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs) {
  setWindowTitle(QString::fromUtf8(text::kTitle));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(WindowFont());

  Button1 = MakeButton(text::kOpenFile, 77, 34, 89, 25, &TForm1::Button1Click);
  Button5 = MakeButton(text::kSaveAmr, 65, 66, 113, 25, &TForm1::Button5Click);
  Button6 = MakeButton(text::kSaveWav, 65, 98, 113, 25, &TForm1::Button6Click);
  Button7 = MakeButton(text::kAuthor, 77, 130, 89, 25, &TForm1::Button7Click);
  setTabOrder(Button1, Button5);
  setTabOrder(Button5, Button6);
  setTabOrder(Button6, Button7);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setGeometry(0, kClientHeight - 19, kClientWidth, 19);
  StatusBar1->setSizeGripEnabled(false);
  statusPanel_ = new QLabel(StatusBar1);
  StatusBar1->addWidget(statusPanel_, 1);
  ShowWorkflowState();

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

QPushButton* TForm1::MakeButton(const char* caption, int left, int top, int width, int height,
                                void (TForm1::*handler)()) {
  auto* button = new QPushButton(QString::fromUtf8(caption), this);
  button->setGeometry(left, top, width, height);
  if (handler)
    connect(button, &QPushButton::clicked, this, [this, handler] { RunHandler(handler); });
  return button;
}

void TForm1::RunHandler(void (TForm1::*handler)()) {
  RunGuarded(dialogs_, [this, handler] { (this->*handler)(); });
  ShowWorkflowState();
}

void TForm1::ShowWorkflowState() {
  statusPanel_->setText(QString::fromStdString(workflow_.StatusText()));
  Button5->setEnabled(workflow_.SaveButtonsEnabled());
  Button6->setEnabled(workflow_.SaveButtonsEnabled());
}

QString TForm1::StatusText() const {
  return statusPanel_->text();
}

void TForm1::Button1Click() {
  const auto path = dialogs_.ChooseFileToOpen({text::kOpenFilter, text::kOpenDefaultExt});
  if (!path) return;
  // The hidden instances show nothing of their own; the window shows that it is working.
  const platform::BusyScope busy(busy_);
  workflow_.OpenContainer(*path);
}

void TForm1::Button5Click() {
  const auto base = dialogs_.ChooseFileToSave({text::kSaveFilter, ""});
  if (!base) return;
  const platform::BusyScope busy(busy_);
  workflow_.ExportRecords(*base);
}

void TForm1::Button6Click() {
  dialogs_.ShowMessage(text::kNotWorkingYet);
}

void TForm1::Button7Click() {
  if (about_) about_->exec();
}

}  // namespace kestrave::app
