#pragma once

#include "platform/UserInterface.h"

namespace kestrave::view {

// The wait cursor over the whole application while a long operation runs; meanwhile windows
// do not close and drops are refused (see BeginWork).
class QtBusyIndicator : public platform::IBusyIndicator {
 public:
  void BeginBusy() override;
  void EndBusy() override;
};

}  // namespace kestrave::view
