#pragma once

#include <ostream>

#include "app/cli/Cli.h"
#include "app/cli/CliSupport.h"

namespace kestrave::app {

// The commands, with their words already checked.
int Scan(const CommandWords& words, Results& out, std::ostream& err);
// One container to BASE_n files.
int Extract(const CommandWords& words, Results& out, std::ostream& err);
// Every container into one folder, as NAME_n files.
int ExtractInto(const CommandWords& words, Results& out, std::ostream& err);

}  // namespace kestrave::app
