#pragma once

#include "platform/Exception.h"

namespace kestrave::hex {

// The component's own error: invalid arguments, refused edits, cancelled operations, backups.
class EHexEditor : public platform::Exception {
  using platform::Exception::Exception;
};

}  // namespace kestrave::hex
