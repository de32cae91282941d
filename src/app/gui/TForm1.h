#pragma once

#include <QWidget>
#include <deque>
#include <functional>
#include <string>

#include "app/core/ConverterWorkflow.h"
#include "app/core/UserDialogs.h"
#include "view/QtBusyIndicator.h"

class QLabel;
class QPushButton;
class QStatusBar;

namespace kestrave::app {

class TForm2;

// The main window: four buttons and a status line over the converter's workflow.
class TForm1 : public QWidget {
 public:
  explicit TForm1(IUserDialogs& dialogs);

  void SetAboutWindow(TForm2* about) { about_ = about; }

  // "Открыть файл": choose a container, load it and scan it.
  void Button1Click();
  // Opens and scans a file as if the user had chosen it in the open dialog: the status line,
  // the buttons and the errors show as they would then.
  void OpenFile(const std::string& path);
  // The same, once control is back in the event loop: a file named on the command line opens
  // in the window already shown, a dropped file once the drop has ended.
  void OpenFileSoon(const std::string& path);
  // "Сохранить AMR": choose a base name and write every record to its own file.
  void Button5Click();
  // "Сохранить Wav": not there yet, and says so.
  void Button6Click();
  // "Автор": the about window, modally.
  void Button7Click();

  ConverterWorkflow& Workflow() { return workflow_; }
  QString StatusText() const;

  QPushButton* Button1;
  QPushButton* Button5;
  QPushButton* Button6;
  QPushButton* Button7;
  QStatusBar* StatusBar1;

 protected:
  // A file dragged from a file manager opens as if chosen in the open dialog.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QPushButton* MakeButton(const char* caption, int left, int top, int width, int height,
                          void (TForm1::*handler)());
  // Runs a handler under the default error display, then shows the workflow's state. One
  // handler at a time: one asked for meanwhile runs when the current one has ended.
  void RunHandler(std::function<void()> handler);
  void ShowWorkflowState();
  // Draws the window at once, over what a dialog that just closed left on it, before long work.
  void PaintBeforeWork();
  void OpenChosenFile(const std::string& path);

  IUserDialogs& dialogs_;
  TForm2* about_ = nullptr;
  ConverterWorkflow workflow_;
  view::QtBusyIndicator busy_;
  QLabel* statusPanel_;
  std::deque<std::function<void()>> waitingHandlers_;
  bool handling_ = false;
};

}  // namespace kestrave::app
