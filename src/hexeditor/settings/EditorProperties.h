#pragma once

#include "hexeditor/settings/PropertyTable.h"

namespace kestrave::hex {

// The published properties of the extended view, nested objects included, in declaration
// order. Objects passed to its accessors are THexEditorEx.
const TPublishedClass& EditorPublishedClass();

}  // namespace kestrave::hex
