#pragma once

#include "platform/Exception.h"

namespace kestrave::hex {

// The component's own error: invalid arguments, refused edits, cancelled operations, backups.
class EHexEditor : public platform::Exception {
  using platform::Exception::Exception;
};

// A backup that could not be made ("Cannot create backup ...", "Cannot delete previous backup
// ..."): the save stopped with the file untouched. A window may offer to save without one.
class EHexBackupError : public EHexEditor {
  using EHexEditor::EHexEditor;
};

}  // namespace kestrave::hex
