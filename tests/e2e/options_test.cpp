// The command line of both programs: --help and --version answered, anything
// else refused, without touching the terminal or the folder.
#include <cstdio>

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

// Both programs answer --help and --version and refuse anything else, on
// the right stream and without touching the terminal or the folder.
TEST_F(EndToEndTest, OptionsAreAnsweredWithoutTouchingTheTerminalOrTheFolder) {
  const std::string before = snapshot();
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
    EXPECT_EQ(help.rfind("Usage: " + name + " [--help | --version]\r\n", 0), 0u) << help;
    EXPECT_NE(help.find("0 and Enter powers\r\nit off"), std::string::npos) << help;
    EXPECT_EQ(help.find('\x1b'), std::string::npos) << "the screen was cleared";
    EXPECT_EQ(run("--version", 0), name + " " COFFEE_VERSION "\r\n");
    const std::string refusal = name + ": unknown argument '--hepl'; try '" + name + " --help'";
    EXPECT_EQ(run("--hepl", 2), refusal + "\r\n");
    const std::string shell = "cd '" + folder_.string() + "' && '" + program + "' ";
    EXPECT_EQ(commandOutput(shell + "--help 2>/dev/null").rfind("Usage: " + name, 0), 0u);
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
}

}  // namespace
}  // namespace cm::e2e
