// Hostile typing at the menu and at every prompt of both programs: random
// bytes, control characters, very long lines and end of input. Each one must
// abandon its action: no crash, no spin, no data file changed, and the
// terminal given back at the end.
#include <random>

#include "e2e/e2e_fixture.h"

namespace cm::e2e {
namespace {

// The answers that lead to a prompt: pairs of (prompt to wait for, answer).
struct PromptPath {
  const char* name;
  std::vector<std::pair<const char*, const char*>> before;
  const char* target;  // the prompt that gets the hostile answer
  bool fullOnly = false;
};

const std::vector<PromptPath> kPaths = {
    {"menu", {}, "0)Power"},
    {"make/concentrate", {{"0)Power", "1\n"}}, "concentrate : "},
    {"make/temperature", {{"0)Power", "1\n"}, {"concentrate : ", "200\n"}}, "temperature : "},
    {"reserve/time", {{"0)Power", "2\n"}}, "time : "},
    {"reserve/concentrate", {{"0)Power", "2\n"}, {"time : ", "12241900\n"}}, "concentrate : "},
    {"reserve/temperature",
     {{"0)Power", "2\n"}, {"time : ", "12241900\n"}, {"concentrate : ", "100\n"}},
     "temperature : "},
    {"recharge/water", {{"0)Power", "4\n"}}, "water : "},
    {"recharge/powder", {{"0)Power", "4\n"}, {"water : ", "10\n"}}, "powder : "},
    {"recharge/bean", {{"0)Power", "4\n"}, {"water : ", "10\n"}, {"powder : ", "1\n"}}, "bean : "},
    {"cleanreserve/time", {{"0)Power", "8\n"}}, "time : ", true},
};

// Bytes a user might hit by accident, except those the terminal turns into
// signals or flow control (Ctrl-C, Ctrl-\, Ctrl-Z, Ctrl-S, Ctrl-Q), line
// ends, and digits (which could make a real answer).
std::string randomLine(std::mt19937& random) {
  std::uniform_int_distribution<int> length(1, 200);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string line;
  for (int n = length(random); static_cast<int>(line.size()) < n;) {
    const int c = byte(random);
    if (c == 0x03 || c == 0x1c || c == 0x1a || c == 0x13 || c == 0x11 || c == '\n' || c == '\r' ||
        c == 0x04 || (c >= '0' && c <= '9')) {
      continue;
    }
    line.push_back(static_cast<char>(c));
  }
  return line + "x\n";  // never an answer, whatever line editing did to it
}

class HostileInputTest : public EndToEndTest {
 protected:
  void runAll(const std::string& program, bool full) {
    auto machine = start(program);
    ASSERT_TRUE(machine->waitForClockLine());
    const std::string before = snapshot();
    std::mt19937 random(7);
    // In line mode Ctrl-D ends the input of a line; in the basic edition's
    // keyboard mode it is a byte like any other, so a line end follows.
    const std::string endOfInput = full ? "\x04" : "\x04\n";
    const std::string longLine = std::string(100000, 'A') + "\n";
    for (const PromptPath& path : kPaths) {
      if (path.fullOnly && !full) continue;
      for (int kind = 0; kind < 3; ++kind) {
        ASSERT_TRUE(machine->waitForClockLine()) << path.name << " kind " << kind;
        machine->type("q");
        for (const auto& [prompt, answer] : path.before) {
          ASSERT_TRUE(machine->waitFor(prompt)) << path.name;
          machine->type(answer);
        }
        ASSERT_TRUE(machine->waitFor(path.target)) << path.name;
        machine->type(kind == 0 ? randomLine(random) : kind == 1 ? longLine : endOfInput);
      }
    }
    ASSERT_TRUE(machine->waitForClockLine());
    EXPECT_EQ(snapshot(), before) << "an abandoned action changed a data file";
    EXPECT_EQ(machine->transcript().find("charging..."), std::string::npos);

    const double cpuBefore = cpuSeconds(machine->pid());
    machine->drain(1s);
    EXPECT_LT(cpuSeconds(machine->pid()) - cpuBefore, 0.3) << "spinning after hostile input";
    machine->type("q");
    ASSERT_TRUE(machine->waitFor("0)Power"));
    machine->type("0\n");
    EXPECT_EQ(machine->waitExit(), 0);
    EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings()));
  }
};

TEST_F(HostileInputTest, FullEditionAbandonsEveryHostileAnswer) { runAll(kFullProgram, true); }
TEST_F(HostileInputTest, BasicEditionAbandonsEveryHostileAnswer) { runAll(kBasicProgram, false); }

}  // namespace
}  // namespace cm::e2e
