#include "app/gui/KestraveApplication.h"
#include "app/gui/QtUserDialogs.h"
#include "app/gui/TForm1.h"
#include "app/gui/TForm2.h"
#include "hexeditor/transfer/FormatChoice.h"
#include "platform/MessageQueue.h"
#include "platform/ole/Clipboard.h"
#include "view/FormatSelDialog.h"
#include "view/QtClipboard.h"
#include "view/QtMessageQueue.h"

namespace {

int RunWindows(kestrave::app::KestraveApplication& application) {
  kestrave::app::QtUserDialogs dialogs;
  application.SetErrorDisplay(&dialogs);
  kestrave::app::TForm1 form1(dialogs);
  dialogs.SetParentWindow(&form1);
  kestrave::app::TForm2 form2(&form1);
  form1.SetAboutWindow(&form2);
  form1.show();
  const int result = application.exec();
  application.SetErrorDisplay(nullptr);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  kestrave::app::KestraveApplication application(argc, argv);
  // Posted work, the desktop's clipboard and the format dialog, for everything made below.
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);
  kestrave::view::QtClipboard clipboard;
  kestrave::platform::ole::SetCurrentClipboard(&clipboard);
  kestrave::view::QtFormatChooser chooser;
  kestrave::hex::SetCurrentFormatChooser(&chooser);
  // The windows, and the editors in them, are gone before these services are.
  const int result = RunWindows(application);
  kestrave::hex::SetCurrentFormatChooser(nullptr);
  kestrave::platform::ole::SetCurrentClipboard(nullptr);
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
