// The command line, as a Unix program answers it: --help and --version
// are answered on standard output, anything else is refused on standard
// error, both without touching the terminal or the working folder.
#pragma once

#include "output/edition.h"

namespace cm {

// A program of the machine as its user meets it: its name, its edition, and
// what its --help says of it beyond the files and options both share.
struct Program {
  const char* name;
  const EditionProfile& edition;
  const char* about;  // what it is
  const char* keys;   // how it is used
};

// coffee_machine, the full edition.
extern const Program kCoffeeMachine;
// coffee_machine_basic, the basic edition.
extern const Program kCoffeeMachineBasic;

// Returns when there are no arguments. Otherwise answers them and ends the
// process: status 0 after --help or --version, 2 after anything else.
void readCommandLine(int argc, char** argv, const Program& program);

}  // namespace cm
