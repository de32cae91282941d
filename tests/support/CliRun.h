#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace kestrave::test {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string Slurp(const std::string& path) {
  const auto bytes = ReadAll(path);
  return {bytes.begin(), bytes.end()};
}

// Runs the real kestrave-cli in Dir, as a script would, after the shell commands of Prelude.
// The test binary names the program by KESTRAVE_CLI_PATH.
inline CliRun RunCli(const std::string& arguments, const TempDir& dir,
                     const std::string& prelude = "") {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const std::string command = std::string("cd '") + dir.Path() + "' && " + prelude + "'" +
                              KESTRAVE_CLI_PATH + "' " + arguments + " >'" + out + "' 2>'" + err +
                              "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

}  // namespace kestrave::test
