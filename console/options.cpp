#include "console/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace cm {

namespace {

// An answer that did not reach standard output (a full disk, a closed pipe)
// is a failure, said on standard error, as the usual tools say it.
[[noreturn]] void endAnswer(const ProgramText& program) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) std::exit(0);
  std::fprintf(stderr, "%s: write error: %s\n", program.name, std::strerror(errno));
  std::exit(1);
}

}  // namespace

void readCommandLine(int argc, char** argv, const ProgramText& program) {
  if (argc <= 1) return;
  const std::string_view argument = argv[1];
  if (argc == 2 && argument == "--help") {
    std::fputs(program.help, stdout);
    endAnswer(program);
  }
  if (argc == 2 && argument == "--version") {
    std::printf("%s %s\n", program.name, COFFEE_VERSION);
    endAnswer(program);
  }
  const char* refused = argument == "--help" || argument == "--version" ? argv[2] : argv[1];
  std::fprintf(stderr, "%s: unknown argument '%s'; try '%s --help'\n", program.name, refused, program.name);
  std::exit(2);
}

}  // namespace cm
