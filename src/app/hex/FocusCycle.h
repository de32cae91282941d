#pragma once

#include <vector>

namespace kestrave::app {

// F6 and Shift+F6 move the focus around the parts of a window in a fixed order. Shown says which
// part can take the focus now; from Current (-1: none of them has it) the next shown part that
// way is answered, around the ends; -1 when no part is shown.
int NextFocusPart(const std::vector<bool>& shown, int current, bool forward);

}  // namespace kestrave::app
