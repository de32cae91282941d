#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kestrave::app {

// The about window: the program's name and three credit lines, shown modally.
class TForm2 : public QDialog {
 public:
  explicit TForm2(QWidget* mainWindow);

  // "OK": closes the window.
  void Button1Click();

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* Button1;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kestrave::app
