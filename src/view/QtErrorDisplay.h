#pragma once

#include "platform/UserInterface.h"

namespace kestrave::view {

// Errors no caller can receive, shown in a message box over the active window. The box opens
// once the current event is handled, so a drop or a drag that raised the error ends first. A
// message already waiting or on screen is not shown a second time meanwhile.
class QtErrorDisplay : public platform::IErrorDisplay {
 public:
  void ShowError(const std::string& message) override;
};

}  // namespace kestrave::view
