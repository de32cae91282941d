#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kestrave::test {

// Plays a random sequence of editing operations (with insert mode, NoSizeChange, units of 1,
// 2, 4 and 8, selections and none, both fields) on a fresh instance and on a plain model of its
// bytes. After every step the bytes must agree; a refused step must change nothing. Then every
// step is undone, newest first, and the bytes, modified flag, selection and caret must be those
// from before it; then the step undone last is redone and must give the state after it.
//
// Choices come from Next(n), which answers a number below n. Answers an empty text when all went
// well, else a description of the first disagreement.
std::string PlayEditSequence(const std::function<std::uint32_t(std::uint32_t)>& next, int steps);

}  // namespace kestrave::test
