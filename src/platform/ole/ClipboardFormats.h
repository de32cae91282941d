#pragma once

#include <string>
#include <string_view>

#include "platform/ole/OleTypes.h"

namespace kestrave::platform::ole {

// Process-wide registry of named clipboard formats. A name gets an identifier from 0xC000 up;
// registering it again, in any letter case, gives the same identifier. Empty names get 0.
TClipFormat RegisterClipboardFormatA(std::string_view name);
// Copies the registered name into the buffer (cut to fit, zero-terminated); answers its length,
// 0 for an identifier that is not registered.
int GetClipboardFormatNameA(TClipFormat format, char* buffer, int size);
// The registered name, empty when there is none.
std::string ClipboardFormatName(TClipFormat format);

}  // namespace kestrave::platform::ole
