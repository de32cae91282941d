#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrave::app {

// Exit codes of kestrave-cli.
inline constexpr int kExitOk = 0;
// extract found no record the window would let the user save, and wrote nothing.
inline constexpr int kExitNothingWritten = 1;
inline constexpr int kExitFailure = 2;

// Runs the converter without a window. Args are the words after the program name; results go
// to Out, messages and errors to Err. Answers the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrave::app
