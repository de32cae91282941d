#pragma once

#include <span>

#include "hexeditor/input/Keys.h"

namespace kestrave::hex {

class THexEditorEx;

// One handler of the key table: the keys it knows, and what it does with one of them.
struct KeyHandler {
  const char* Name;
  bool (*Knows)(int key, TShiftState shift);
  void (*Take)(THexEditorEx& editor, int key, TShiftState shift);
};

// The handlers in the order a key is offered to them. No key is known to two of them.
std::span<const KeyHandler> KeyHandlers();
// Offers a key to each handler in turn; answers whether one took it.
bool OfferKey(THexEditorEx& editor, int key, TShiftState shift);
// Whether some handler knows the key with these modifiers.
bool AnyHandlerKnows(int key, TShiftState shift);

}  // namespace kestrave::hex
