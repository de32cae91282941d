#include <iostream>

#include "app/cli/Cli.h"
#include "platform/InterruptCleanup.h"

int main(int argc, char** argv) {
  kestrave::platform::RemoveTemporariesOnInterrupt();
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kestrave::app::RunCli(args, std::cout, std::cerr);
}
