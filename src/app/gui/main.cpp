#include "app/gui/KestraveApplication.h"
#include "app/gui/QtUserDialogs.h"
#include "app/gui/TForm1.h"
#include "app/gui/TForm2.h"
#include "platform/InterruptCleanup.h"
#include "view/QtDesktopServices.h"

namespace {

int RunWindows(kestrave::app::KestraveApplication& application,
               const std::optional<std::string>& file) {
  kestrave::app::QtUserDialogs dialogs;
  application.SetErrorDisplay(&dialogs);
  kestrave::app::TForm1 form1(dialogs);
  dialogs.SetParentWindow(&form1);
  kestrave::app::TForm2 form2(&form1);
  form1.SetAboutWindow(&form2);
  form1.show();
  if (file) form1.OpenFileSoon(*file);
  const int result = application.exec();
  application.SetErrorDisplay(nullptr);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  kestrave::platform::RemoveTemporariesOnInterrupt();
  kestrave::app::KestraveApplication application(argc, argv);
  // The windows, and the editors in them, are gone before the desktop's services are.
  const kestrave::view::QtDesktopServices services;
  return RunWindows(application, kestrave::app::FileFromArguments(argc, argv));
}
