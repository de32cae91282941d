#pragma once

#include <functional>

#include "app/hex/Checksum.h"
#include "app/hex/HexDialogs.h"
#include "hexeditor/HexEditorEx.h"

namespace kestrave::app {

// What Edit > Copy As and Edit > Checksum of Selection do with the selected bytes. Run carries
// out a step the way the window does (errors shown, status refreshed).
using RunStep = std::function<void(const std::function<void()>&)>;

enum class CopyForm { HexText, CArray, Base64, Text };

// The selection to the desktop clipboard as text in one of these forms.
void CopySelectionAs(hex::THexEditorEx& editor, IHexDialogs& dialogs, const RunStep& run,
                     CopyForm form);

// Sums the selection and shows the sum; a long selection shows its progress and can be stopped.
void ShowSelectionChecksum(hex::THexEditorEx& editor, IHexDialogs& dialogs, const RunStep& run,
                           ChecksumKind kind);

}  // namespace kestrave::app
