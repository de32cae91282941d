#include "platform/ole/OleError.h"

#include <cstdio>

#include "platform/Exception.h"

namespace kestrave::platform::ole {

std::string OleErrorMessage(HResult result) {
  switch (result) {
    case E_OUTOFMEMORY:
      return "Not enough memory to complete this operation";
    case E_FAIL:
      return "Unspecified error";
    case E_NOTIMPL:
      return "Not implemented";
    case CLIPBRD_E_CANT_OPEN:
      return "OpenClipboard Failed";
    case CLIPBRD_E_CANT_SET:
      return "SetClipboard Failed";
    default:
      break;
  }
  char text[32];
  std::snprintf(text, sizeof text, "OLE error %.8X", static_cast<unsigned>(result));
  return text;
}

void OleCheck(HResult result) {
  if (!Succeeded(result)) throw EOleError(OleErrorMessage(result));
}

}  // namespace kestrave::platform::ole
