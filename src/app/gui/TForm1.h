#pragma once

#include <QWidget>
#include <functional>

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

 private:
  QPushButton* MakeButton(const char* caption, int left, int top, int width, int height,
                          void (TForm1::*handler)());
  // Runs a handler under the default error display, then shows the workflow's state.
  void RunHandler(void (TForm1::*handler)());
  void ShowWorkflowState();

  IUserDialogs& dialogs_;
  TForm2* about_ = nullptr;
  ConverterWorkflow workflow_;
  view::QtBusyIndicator busy_;
  QLabel* statusPanel_;
};

}  // namespace kestrave::app
