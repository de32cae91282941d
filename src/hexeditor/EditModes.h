#pragma once

namespace kestrave::hex {

// How the data may be edited, and the rules that follow from the switches together.
struct EditModes {
  bool InsertStored = false;  // insert mode as set, in effect only while insertion is allowed
  bool AllowInsert = true;
  bool NoSizeChange = false;
  // While set, NoSizeChange is not in effect (a move of data inside one instance).
  bool IgnoreNoSizeChange = false;
  bool ReadOnlyView = false;
  bool Enabled = true;

  bool SizeRestricted() const { return NoSizeChange && !IgnoreNoSizeChange; }
  bool InsertAllowed() const { return !SizeRestricted() && AllowInsert && !ReadOnlyView; }
  bool Insert() const { return InsertStored && InsertAllowed(); }
};

}  // namespace kestrave::hex
