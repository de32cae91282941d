#pragma once

#include "platform/ole/OleTypes.h"

namespace kestrave::hex {

using platform::ole::TClipFormat;

// The formats the component registers, in the order it registers them, once per process.
struct TransferFormatIds {
  TClipFormat Private;                     // "THexEditorEx Clipboard Format"
  TClipFormat RegEditHexData;              // "RegEdit_HexData"
  TClipFormat RichText;                    // "Rich Text Format"
  TClipFormat Html;                        // "HTML Format"
  TClipFormat FileContents;                // "FileContents"
  TClipFormat FileGroupDescriptor;         // "FileGroupDescriptor"
  TClipFormat PerformedDropEffect;         // "Performed DropEffect"
  TClipFormat LogicalPerformedDropEffect;  // "Logical Performed DropEffect"
};

const TransferFormatIds& TransferFormats();

}  // namespace kestrave::hex
