#pragma once

#include <string>

#include "platform/ole/OleTypes.h"

namespace kestrave::platform::ole {

// The text for a result code, or "OLE error %.8x" with the code in eight hex digits.
std::string OleErrorMessage(HResult result);
// Raises EOleError with that text unless the result is a success.
void OleCheck(HResult result);

}  // namespace kestrave::platform::ole
