#include "app/gui/KestraveApplication.h"
#include "app/gui/QtUserDialogs.h"
#include "app/gui/TForm1.h"
#include "app/gui/TForm2.h"
#include "platform/MessageQueue.h"
#include "view/QtMessageQueue.h"

int main(int argc, char** argv) {
  kestrave::app::KestraveApplication application(argc, argv);
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);

  kestrave::app::QtUserDialogs dialogs;
  application.SetErrorDisplay(&dialogs);
  kestrave::app::TForm1 form1(dialogs);
  dialogs.SetParentWindow(&form1);
  kestrave::app::TForm2 form2(&form1);
  form1.SetAboutWindow(&form2);
  form1.show();
  const int result = application.exec();
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
