// The command line of both programs: --help and --version answered, anything
// else refused, without touching the terminal or the folder.
#include <cstdio>
#include <map>

#include "e2e/e2e_fixture.h"

namespace cm::e2e {
namespace {

// What a shell command printed.
std::string commandOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    ::pclose(pipe);
  }
  return output;
}

// Each program's whole --help: only the full edition keeps cleaning bookings.
const std::map<std::string, std::string> kHelp = {
    {"coffee_machine", R"(Usage: coffee_machine [--help | --version]

A household coffee machine simulated in the terminal, the full edition: a
clock on standby, brews now or booked for a later minute, cleanings now or
booked, recharging, and a status header above every screen.

It works on the data files of the current folder:
  waterSensor.txt, powderSensor.txt, beanSensor.txt   the three levels
  reserveData.txt                                     the brew bookings
  cleanReserveData.txt                                the cleaning bookings
and keeps its locks in .coffee_machine.lock there. Start it in a folder that
holds them: the default files are installed in share/coffee_machine beside
the program's bin/ (/usr/share/coffee_machine from the package).

On standby any key wakes the machine. Then type a menu number and Enter:
1 make, 2 reserve, 3 cleaning, 4 recharge material, 5 show material,
6 show reserve list, 7 show clean list, 8 clean reserve. 0 and Enter powers
it off; Ctrl-C quits at any moment.

  --help     show this help and exit
  --version  show the version and exit
)"},
    {"coffee_machine_basic", R"(Usage: coffee_machine_basic [--help | --version]

A household coffee machine simulated in the terminal, the basic edition: one
thread that polls the keyboard once a second, brews now or booked for a later
minute, cleaning, recharging. Its frames use the CP949 (EUC-KR) square: run
it on a CP949 terminal, or elsewhere under luit -encoding EUC-KR.

It works on the data files of the current folder:
  waterSensor.txt, powderSensor.txt, beanSensor.txt   the three levels
  reserveData.txt                                     the brew bookings
and keeps its locks in .coffee_machine.lock there. Start it in a folder that
holds them: the default files are installed in share/coffee_machine beside
the program's bin/ (/usr/share/coffee_machine from the package).

On standby any key wakes the machine within a second. Then type a menu number
and Enter (typed answers are not echoed): 1 make, 2 reserve, 3 cleaning,
4 recharge material, 5 show material, 6 show reserve list. 0 and Enter powers
it off; Ctrl-C quits at any moment.

  --help     show this help and exit
  --version  show the version and exit
)"}};

// Both programs answer --help and --version and refuse anything else, on
// the right stream and without touching the terminal or the folder.
TEST_F(EndToEndTest, OptionsAreAnsweredWithoutTouchingTheTerminalOrTheFolder) {
  const std::string before = snapshot();
  writeFile("waterSensor.txt.4711.tmp", "left by a dead program");  // the next start removes it
  for (const std::string& program : {kFullProgram, kBasicProgram}) {
    const std::string name = std::filesystem::path(program).filename().string();
    const auto run = [&](const char* argument, int status) {
      SessionOptions options;
      options.program = program;
      options.folder = folder_;
      options.arguments = {argument};
      PtySession session(options);
      EXPECT_EQ(session.waitExit(), status) << name << " " << argument;
      EXPECT_TRUE(isLineModeWithEcho(session.terminalSettings()));
      return session.transcript();
    };
    const std::string help = run("--help", 0);
    EXPECT_EQ(help.find('\x1b'), std::string::npos) << "the screen was cleared";
    EXPECT_EQ(run("--version", 0), name + " " COFFEE_VERSION "\r\n");
    const std::string refusal = name + ": unknown argument '--hepl'; try '" + name + " --help'";
    EXPECT_EQ(run("--hepl", 2), refusal + "\r\n");
    const std::string shell = "cd '" + folder_.string() + "' && '" + program + "' ";
    EXPECT_EQ(commandOutput(shell + "--help 2>/dev/null"), kHelp.at(name));
    EXPECT_EQ(commandOutput(shell + "--help 2>&1 >/dev/null"), "");
    EXPECT_EQ(commandOutput(shell + "--hepl 2>&1 >/dev/null"), refusal + "\n");
    EXPECT_EQ(commandOutput(shell + "--hepl 2>/dev/null"), "");
    for (const char* answer : {"--help", "--version"}) {
      EXPECT_EQ(commandOutput(shell + answer + " 2>&1 >/dev/full; echo status $?"),
                name + ": write error: No space left on device\nstatus 1\n");
    }
  }
  EXPECT_EQ(snapshot(), before);
  EXPECT_FALSE(std::filesystem::exists(folder_ / ".coffee_machine.lock"));
  EXPECT_EQ(readFile("waterSensor.txt.4711.tmp"), "left by a dead program") << "an option opened the folder";
}

}  // namespace
}  // namespace cm::e2e
