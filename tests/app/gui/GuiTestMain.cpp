#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/gui/KestraveApplication.h"
#include "platform/MessageQueue.h"
#include "tests/app/gui/DesktopChild.h"
#include "view/QtMessageQueue.h"

// The windows need the application object and its message loop, as in the real program.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Without a display of its own the suite draws off screen, also when ctest lists its tests.
  ::setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  // The suite reads English texts (Qt's, the system's error texts) whatever the desktop's language;
  // a test that wants a language sets it for a child of its own (RunAsDesktopChild).
  if (!std::getenv(kestrave::app::test::kDesktopLocaleChild)) {
    ::setenv("LC_ALL", "C.UTF-8", /*overwrite=*/1);
    ::unsetenv("LANGUAGE");
  }
  // Windows keep their settings: in a folder of this run, never the user's.
  char config[] = "/tmp/kestrave-gui-config-XXXXXX";
  if (::mkdtemp(config)) ::setenv("XDG_CONFIG_HOME", config, /*overwrite=*/1);
  kestrave::app::KestraveApplication application(argc, argv);
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
