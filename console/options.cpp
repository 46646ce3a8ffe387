#include "console/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace cm {

const Program kCoffeeMachine{"coffee_machine", kFullEdition,
                             R"(A household coffee machine simulated in the terminal, the full edition: a
clock on standby, brews now or booked for a later minute, cleanings now or
booked, recharging, and a status header above every screen.
)",
                             R"(On standby any key wakes the machine. Then type a menu number and Enter:
1 make, 2 reserve, 3 cleaning, 4 recharge material, 5 show material,
6 show reserve list, 7 show clean list, 8 clean reserve. 0 and Enter powers
it off; Ctrl-C quits at any moment.
)"};

const Program kCoffeeMachineBasic{
    "coffee_machine_basic", kBasicEdition,
    R"(A household coffee machine simulated in the terminal, the basic edition: one
thread that polls the keyboard once a second, brews now or booked for a later
minute, cleaning, recharging. Its frames use the CP949 (EUC-KR) square: run
it on a CP949 terminal, or elsewhere under luit -encoding EUC-KR.
)",
    R"(On standby any key wakes the machine within a second. Then type a menu number
and Enter (typed answers are not echoed): 1 make, 2 reserve, 3 cleaning,
4 recharge material, 5 show material, 6 show reserve list. 0 and Enter powers
it off; Ctrl-C quits at any moment.
)"};

namespace {

// What --help says: the program's own words around what both share.
void printHelp(const Program& program) {
  std::printf("Usage: %s [--help | --version]\n\n%s\n", program.name, program.about);
  std::fputs(
      "It works on the data files of the current folder:\n"
      "  waterSensor.txt, powderSensor.txt, beanSensor.txt   the three levels\n"
      "  reserveData.txt                                     the brew bookings\n",
      stdout);
  if (program.edition.cleanSchedule) {
    std::fputs("  cleanReserveData.txt                                the cleaning bookings\n", stdout);
  }
  std::printf(
      "and keeps its locks in .coffee_machine.lock there. Start it in a folder that\n"
      "holds them: the default files are installed in share/coffee_machine beside\n"
      "the program's bin/ (/usr/share/coffee_machine from the package).\n\n"
      "%s\n"
      "  --help     show this help and exit\n"
      "  --version  show the version and exit\n",
      program.keys);
}

// An answer that did not reach standard output (a full disk, a closed pipe)
// is a failure, said on standard error, as the usual tools say it.
[[noreturn]] void endAnswer(const Program& program) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) std::exit(0);
  std::fprintf(stderr, "%s: write error: %s\n", program.name, std::strerror(errno));
  std::exit(1);
}

}  // namespace

void readCommandLine(int argc, char** argv, const Program& program) {
  if (argc <= 1) return;
  const std::string_view argument = argv[1];
  if (argc == 2 && argument == "--help") {
    printHelp(program);
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
