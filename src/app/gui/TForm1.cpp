#include "app/gui/TForm1.h"

#include <sys/stat.h>

#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>
#include <optional>

#include "app/core/ConverterTexts.h"
#include "app/gui/KestraveApplication.h"
#include "app/gui/TForm2.h"
#include "app/gui/WindowLook.h"
#include "platform/UserInterface.h"
#include "view/LocalFiles.h"
#include "view/StatusLog.h"

namespace kestrave::app {
namespace {

constexpr int kClientWidth = 244;
constexpr int kClientHeight = 204;

// The file a drag brings: the first of its local files that is not a folder. A drag of several
// files opens the first, as the open dialog takes one file.
std::optional<std::string> DroppedFile(const QMimeData* data) {
  if (!data) return std::nullopt;
  for (const std::string& path : view::LocalFilesOf(*data)) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return path;
  }
  return std::nullopt;
}

}  // namespace

TForm1::TForm1(IUserDialogs& dialogs)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs) {
  setWindowTitle(QString::fromUtf8(text::kTitle));
  setFixedSize(kClientWidth, kClientHeight);
  setAcceptDrops(true);
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
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
  return button;
}

void TForm1::RunHandler(std::function<void()> handler) {
  waitingHandlers_.push_back(std::move(handler));
  if (handling_) return;
  handling_ = true;
  while (!waitingHandlers_.empty()) {
    const std::function<void()> next = std::move(waitingHandlers_.front());
    waitingHandlers_.pop_front();
    RunGuarded(dialogs_, next);
    ShowWorkflowState();
  }
  handling_ = false;
}

void TForm1::ShowWorkflowState() {
  statusPanel_->setText(QString::fromStdString(workflow_.StatusText()));
  view::ReportShownText("status", statusPanel_->text());
  Button5->setEnabled(workflow_.SaveButtonsEnabled());
  Button6->setEnabled(workflow_.SaveButtonsEnabled());
}

QString TForm1::StatusText() const {
  return statusPanel_->text();
}

void TForm1::PaintBeforeWork() {
  repaint();
  platform::KeepResponsive();
}

void TForm1::Button1Click() {
  const auto path = dialogs_.ChooseFileToOpen({text::kOpenFilter, text::kOpenDefaultExt});
  if (path) OpenChosenFile(*path);
}

void TForm1::OpenChosenFile(const std::string& path) {
  PaintBeforeWork();
  // The hidden instances show nothing of their own; the window shows that it is working.
  const platform::BusyScope busy(busy_);
  workflow_.OpenContainer(path);
}

void TForm1::OpenFile(const std::string& path) {
  RunHandler([this, path] { OpenChosenFile(path); });
}

void TForm1::OpenFileSoon(const std::string& path) {
  QMetaObject::invokeMethod(
      this, [this, path] { OpenFile(path); }, Qt::QueuedConnection);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::optional<std::string> path = DroppedFile(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  OpenFileSoon(*path);
}

void TForm1::Button5Click() {
  const auto base = dialogs_.ChooseFileToSave({text::kSaveFilter, ""});
  if (!base) return;
  PaintBeforeWork();
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
