#pragma once

#include <functional>
#include <string>

#include "app/hex/HexDialogs.h"
#include "hexeditor/HexEditorEx.h"

namespace kestrave::app {

// Edit > Go to Offset: asks for an offset, starting with the one typed last (kept in LastTyped),
// and puts the caret there; an offset that is none or lies outside the data is refused and
// the caret stays. Run carries out the move the way the window does.
void GoToOffset(hex::THexEditorEx& editor, IHexDialogs& dialogs, std::string& lastTyped,
                const std::function<void(const std::function<void()>&)>& run);

}  // namespace kestrave::app
