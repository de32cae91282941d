#pragma once

// A program run as a user at a terminal runs it: on a pseudo-terminal of its own, standard
// output and standard error both going to it, and the screen that results. Header only.

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace kestrave::test {

// Runs Command with /bin/sh on a new pseudo-terminal (200 columns) and answers every byte
// written to the terminal.
inline std::string RunOnTerminal(const std::string& command) {
  int terminal = -1;
  winsize size{};
  size.ws_row = 50;
  size.ws_col = 200;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
  if (child < 0) return "forkpty failed";
  if (child == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string written;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(terminal, buffer, sizeof buffer);
    if (count > 0) {
      written.append(buffer, static_cast<std::size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program and its children have closed the terminal
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  return written;
}

// The lines a terminal shows after Written: "\r" goes back to the line's start, "\033[K" erases
// to its end, a character overwrites the one under the cursor (bytes stand for columns).
inline std::vector<std::string> ScreenLines(const std::string& written) {
  std::vector<std::string> lines(1);
  std::size_t column = 0;
  for (std::size_t i = 0; i < written.size(); ++i) {
    std::string& line = lines.back();
    const char c = written[i];
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      lines.emplace_back();
      column = 0;
    } else if (written.compare(i, 3, "\033[K") == 0) {
      line.resize(std::min(line.size(), column));
      i += 2;
    } else {
      if (column < line.size()) {
        line[column] = c;
      } else {
        line.push_back(c);
      }
      ++column;
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace kestrave::test
