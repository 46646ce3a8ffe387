// The command line, as a Unix program answers it: --help and --version
// are answered on standard output, anything else is refused on standard
// error, both without touching the terminal or the working folder.
#pragma once

namespace cm {

struct ProgramText {
  const char* name;  // as the user types it
  const char* help;  // --help: what it is, its files, how to use it
};

// Returns when there are no arguments. Otherwise answers them and ends the
// process: status 0 after --help or --version, 2 after anything else.
void readCommandLine(int argc, char** argv, const ProgramText& program);

}  // namespace cm
