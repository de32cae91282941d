#include "platform/Persistent.h"

#include <string>

#include "platform/Exception.h"
#include "platform/Format.h"

namespace kestrave::platform {

void ThrowAssignError(const TPersistent* source, const TPersistent& target) {
  const std::string from(source ? source->ClassName() : "nil");
  throw EConvertError(
      FormatMessage("Cannot assign a %s to a %s", {from, std::string(target.ClassName())}));
}

}  // namespace kestrave::platform
