#pragma once

#include <span>
#include <string>
#include <vector>

#include "hexeditor/input/Keys.h"

namespace kestrave::hex {

class THexEditorEx;

// One handler of the key table: the keys it knows, what it does with one of them, and how it
// says what it does (the key help's words).
struct KeyHandler {
  const char* Name;
  bool (*Knows)(int key, TShiftState shift);
  void (*Take)(THexEditorEx& editor, int key, TShiftState shift);
  std::string (*Describe)(int key, TShiftState shift);
};

// The handlers in the order a key is offered to them. No key is known to two of them.
std::span<const KeyHandler> KeyHandlers();
// Offers a key to each handler in turn; answers whether one took it.
bool OfferKey(THexEditorEx& editor, int key, TShiftState shift);
// Whether some handler knows the key with these modifiers.
bool AnyHandlerKnows(int key, TShiftState shift);

// One line of the key help: a key with its modifiers, as the user presses it ("Ctrl+Shift+3"),
// and what it does there. The lines are made by asking the handlers which keys they know, so
// the help lists exactly the keys the view acts on.
struct KeyHelpLine {
  int Key = 0;
  TShiftState Shift = 0;
  std::string Keys;
  std::string Effect;
};
std::vector<KeyHelpLine> KeyHelp();
// What a known key does, in a few words; empty for a key no handler knows.
std::string KeyEffect(int key, TShiftState shift);
// "Ctrl+Shift+Page Up".
std::string KeyName(int key, TShiftState shift);

}  // namespace kestrave::hex
