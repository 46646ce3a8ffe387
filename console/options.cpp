#include "console/options.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace cm {

void readCommandLine(int argc, char** argv, const ProgramText& program) {
  if (argc <= 1) return;
  const std::string_view argument = argv[1];
  if (argc == 2 && argument == "--help") {
    std::fputs(program.help, stdout);
    std::exit(0);
  }
  if (argc == 2 && argument == "--version") {
    std::printf("%s %s\n", program.name, COFFEE_VERSION);
    std::exit(0);
  }
  const char* refused = argument == "--help" || argument == "--version" ? argv[2] : argv[1];
  std::fprintf(stderr, "%s: unknown argument '%s'; try '%s --help'\n", program.name, refused, program.name);
  std::exit(2);
}

}  // namespace cm
