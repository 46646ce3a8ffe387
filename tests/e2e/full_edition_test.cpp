// coffee_machine driven as a user drives it, through a pseudo-terminal.
#include <signal.h>

#include <filesystem>
#include <regex>

#include "e2e/e2e_fixture.h"
#include "support/text_count.h"

namespace cm::e2e {
namespace {

using test::count;

// The standby clock lines show each second once: a wait that ends early
// shows a second twice.
bool everySecondOnce(const std::string& screen) {
  const std::regex clockLine("18 : (\\d+) : (\\d+)\r\n");
  int previous = -1;
  for (std::sregex_iterator line(screen.begin(), screen.end(), clockLine), end; line != end; ++line) {
    const int second = std::stoi((*line)[1]) * 60 + std::stoi((*line)[2]);
    if (second == previous) return false;
    previous = second;
  }
  return true;
}

class FullEditionTest : public EndToEndTest {
 protected:
  // Standby waits for the key alone: wake it and wait for the whole menu.
  static void wake(PtySession& machine) { openMenu(machine); }
};

// At the real clock's pace: the clock thread has just begun its wait for the
// next second, and the key must end that wait at once.
TEST_F(FullEditionTest, WakeKeyIsNotEchoedAndTheMenuHasItsHeader) {
  SessionOptions realPace;
  realPace.program = kFullProgram;
  realPace.folder = folder_;
  realPace.speed = 1;
  auto machine = std::make_unique<PtySession>(realPace);
  ASSERT_TRUE(machine->waitFor("2026-12-24  18 : 29 : 5"));
  machine->drain(3s);
  EXPECT_TRUE(everySecondOnce(machine->transcript())) << "a second shown twice";
  ASSERT_TRUE(machine->waitForClockLine());
  const std::size_t keyPressed = machine->transcript().size();
  const auto pressed = std::chrono::steady_clock::now();
  machine->type("q");
  ASSERT_TRUE(machine->waitFor("0)Power"));
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, 500ms)
      << "the key waited for the clock's next second";
  const std::string screen = machine->transcript();
  EXPECT_EQ(screen.find('q', keyPressed), std::string::npos) << "the wake key must not be echoed";
  const std::string menu = screen.substr(screen.rfind("\n2026-12-24  18 : "));
  for (const char* line :
       {"concentrate : \r\n", "temperature : \r\n", "water  : 1000\tmL,  powder : 10 g,  bean : 100 g\r\n",
        "powder : x\r\n", "timeTable>>\r\nno make reserve..\r\ncleanTable>>\r\nno clean reserve..\r\n",
        "-----------------------------------------------------------\r\n"
        "****************************************\r\n"
        "**       ==VORNE_Coffee Machine==     **\r\n"
        "** 1)Make                             **\r\n"
        "** 2)Reserve                          **\r\n"
        "** 3)Cleaning 8)CleanReserve          **\r\n"
        "****************************************\r\n"
        "\r\n                     4)Recharge material\r\n"
        "                         5)Show material\r\n"
        "                     6)Show Reserve List\r\n"
        "                       7)Show Clean List\r\n"
        "                                 0)Power"}) {
    EXPECT_NE(menu.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << menu;
  }
  // After the key the terminal is back in line mode with echo for the menu.
  EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings()));
  machine->type("0\n");
  EXPECT_EQ(machine->waitExit(), 0);
}

TEST_F(FullEditionTest, BrewThenPowderWarningThenCleaning) {
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("1\n");
  answer(*machine, "concentrate : ", "200\n");
  answer(*machine, "temperature : ", "0\n");
  ASSERT_TRUE(machine->waitFor("** Coffee Making.....")) << machine->sinceLastMatch();
  ASSERT_TRUE(machine->waitFor("\a"));
  ASSERT_TRUE(machine->waitFor("** Coffee Making Finished..!!         **"));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("waterSensor.txt"), "800");
  EXPECT_EQ(readFile("powderSensor.txt"), "0");

  wake(*machine);
  machine->type("1\n");
  answer(*machine, "concentrate : ", "100\n");
  answer(*machine, "temperature : ", "1\n");
  ASSERT_TRUE(machine->waitFor("** powder is remain.                  **"));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("waterSensor.txt"), "800");

  wake(*machine);
  machine->type("3\n");
  ASSERT_TRUE(machine->waitFor("** Cleaning....."));
  ASSERT_TRUE(machine->waitFor("** cleaning is finished.              **"));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("waterSensor.txt"), "300");
  EXPECT_EQ(readFile("powderSensor.txt"), "0");
}

TEST_F(FullEditionTest, BookedBrewIsListedThenFiresAtItsMinuteAndLeavesTheFile) {
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("2\n");
  answer(*machine, "time : ", "12241831\n");
  answer(*machine, "concentrate : ", "100\n");
  answer(*machine, "temperature : ", "1\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "12241831\n100\n1\n");
  EXPECT_EQ(readFile("waterSensor.txt"), "1000") << "a booking brews nothing";

  wake(*machine);
  EXPECT_NE(machine->transcript().rfind("timeTable>>\r\ntime : 12241831\r\ncleanTable>>"), std::string::npos);
  machine->type("6\n");
  ASSERT_TRUE(machine->waitFor("Number : 1\r\ntime : 12241831\r\nconcentrate : 100\r\ntemperature : 1\r\n"));
  ASSERT_TRUE(machine->waitFor("2026-12-24  18 : 31 : "));
  ASSERT_TRUE(machine->waitFor("** Boiling."));
  ASSERT_TRUE(machine->waitFor("** Coffee Making Finished..!!"));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "900");
}

// The booking file is the authority while the machine runs: a booking
// deleted by hand never fires, one added by hand fires at its minute and
// survives a booking made through the menu.
TEST_F(FullEditionTest, HandEditsOfTheBookingFileRuleWhileItRuns) {
  writeFile("reserveData.txt", "12241831\n300\n0\n");
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  writeFile("reserveData.txt", "12241832\n100\n0\n");
  wake(*machine);
  EXPECT_NE(machine->transcript().rfind("timeTable>>\r\ntime : 12241832\r\ncleanTable>>"), std::string::npos);
  machine->type("2\n");
  answer(*machine, "time : ", "12241840\n");
  answer(*machine, "concentrate : ", "200\n");
  answer(*machine, "temperature : ", "0\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "12241832\n100\n0\n12241840\n200\n0\n");
  ASSERT_TRUE(machine->waitFor("2026-12-24  18 : 32 : "));
  ASSERT_TRUE(machine->waitFor("** Coffee Making Finished..!!"));
  ASSERT_TRUE(machine->waitFor("2026-12-24  18 : 33 : "));
  EXPECT_EQ(readFile("reserveData.txt"), "12241840\n200\n0\n");
  EXPECT_EQ(readFile("waterSensor.txt"), "900") << "the booking deleted by hand must not fire";
}

TEST_F(FullEditionTest, CleaningBookingIsListedAndFiresAtItsMinute) {
  setLevels(800, 10, 100);
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("8\n");
  answer(*machine, "time : ", "12241831\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("cleanReserveData.txt"), "12241831\n");
  EXPECT_EQ(readFile("reserveData.txt"), "");

  wake(*machine);
  machine->type("7\n");
  ASSERT_TRUE(machine->waitFor("Number : 1\r\ntime : 12241831\r\n"));
  ASSERT_TRUE(machine->waitFor("** Cleaning."));
  EXPECT_EQ(machine->transcript().find("2026-12-24  18 : 32 : "), std::string::npos) << "after its minute";
  ASSERT_TRUE(machine->waitFor("** cleaning is finished."));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("cleanReserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "300");
}

TEST_F(FullEditionTest, RechargeWarnsAndClampsInOrder) {
  setLevels(900, 5, 60);
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("4\n");
  answer(*machine, "water : ", "101\n");
  answer(*machine, "powder : ", "6\n");
  answer(*machine, "bean : ", "41\n");
  ASSERT_TRUE(
      machine->waitFor("charging...\r\nwarning!! water is overflow..\r\nwarning!! powder is overflow..\r\n"
                       "warning!! bean is overflow..\r\n"));
  ASSERT_TRUE(machine->waitFor("renewMaterial finished!!"));
  EXPECT_EQ(readFile("waterSensor.txt"), "1000");
  EXPECT_EQ(readFile("powderSensor.txt"), "10");
  EXPECT_EQ(readFile("beanSensor.txt"), "100");

  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("5\n");
  ASSERT_TRUE(machine->waitFor("\r\n water  : 1000\tmL,  powder : 10 g,  bean : 100 g\r\n"));
}

TEST_F(FullEditionTest, PowerOffExitsWithZeroAndLeavesTheTerminalAsFound) {
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  const std::string before = snapshot();
  wake(*machine);
  machine->type("0\n");
  EXPECT_EQ(machine->waitExit(), 0);
  EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings()));
  EXPECT_EQ(snapshot(), before);
}

TEST_F(FullEditionTest, BadAnswersDoNothingAndNeverLeakIntoTheNextPrompt) {
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  const std::string before = snapshot();
  for (const char* choice : {"abc\n", "99999999999\n", "1x\n", "9\n", "-3\n"}) {
    wake(*machine);
    machine->type(choice);
    ASSERT_TRUE(machine->waitForClockLine()) << "no standby after " << choice;
  }
  // A bad concentrate abandons the brew; a bad temperature too.
  wake(*machine);
  machine->type("1\n");
  answer(*machine, "concentrate : ", "lots\n");
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("1\n");
  answer(*machine, "concentrate : ", "200\n");
  answer(*machine, "temperature : ", "1 2\n");
  ASSERT_TRUE(machine->waitForClockLine());
  // A bad answer in the middle of a booking or a recharge writes nothing.
  wake(*machine);
  machine->type("2\n");
  answer(*machine, "time : ", "12241900\n");
  answer(*machine, "concentrate : ", "x\n");
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("4\n");
  answer(*machine, "water : ", "10\n");
  answer(*machine, "powder : ", "2147483648\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(machine->transcript().find("charging..."), std::string::npos);
  EXPECT_EQ(snapshot(), before);

  // The machine still answers properly afterwards.
  wake(*machine);
  machine->type("8\n");
  answer(*machine, "time : ", "12250700\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("cleanReserveData.txt"), "12250700\n");
}

// Enter alone, or blanks alone, are passed over: the menu and every prompt
// keep waiting for their number.
TEST_F(FullEditionTest, EnterAloneKeepsTheMenuAndEveryPromptWaiting) {
  struct Path {
    const char* choice;
    std::vector<std::pair<const char*, const char*>> prompts;
  };
  const Path paths[] = {
      {"1", {{"concentrate : ", "200"}, {"temperature : ", "0"}}},
      {"2", {{"time : ", "12250700"}, {"concentrate : ", "100"}, {"temperature : ", "1"}}},
      {"4", {{"water : ", "-100"}, {"powder : ", "-1"}, {"bean : ", "-10"}}},
      {"8", {{"time : ", "12250800"}}},
  };
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  for (const Path& path : paths) {
    wake(*machine);
    machine->type(std::string("\n  \n") + path.choice + "\n");
    for (const auto& [prompt, value] : path.prompts)
      answer(*machine, prompt, (std::string("\n\t\n") + value + "\n").c_str());
    ASSERT_TRUE(machine->waitForClockLine()) << "menu " << path.choice;
  }
  EXPECT_EQ(snapshot(),
            "waterSensor.txt=700;powderSensor.txt=0;beanSensor.txt=90;"
            "reserveData.txt=12250700\n100\n1\n;cleanReserveData.txt=12250800\n;");
}

TEST_F(FullEditionTest, CtrlDAtAPromptAbandonsOnlyThatAction) {
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  const std::string before = snapshot();
  wake(*machine);
  machine->type("2\n");
  answer(*machine, "time : ", "12241900\n");
  answer(*machine, "concentrate : ", "\x04");
  ASSERT_TRUE(machine->waitForClockLine());
  wake(*machine);
  machine->type("\x04");  // at the menu
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(snapshot(), before);
  wake(*machine);
  machine->type("0\n");
  EXPECT_EQ(machine->waitExit(), 0);
}

TEST_F(FullEditionTest, KeyDuringABookingOpensTheMenuAfterItHasLeftTheFile) {
  writeFile("reserveData.txt", "12241830\n300\n1\n");
  auto machine = start(kFullProgram);
  ASSERT_TRUE(machine->waitFor("** Boiling.."));
  machine->type("q");
  ASSERT_TRUE(machine->waitFor("** Coffee Making.."));
  machine->type("3\n0\n");  // typed ahead during the brew: no choice of the menu
  ASSERT_TRUE(machine->waitFor("** Coffee Making Finished..!!"));
  EXPECT_EQ(machine->sinceLastMatch().find("0)Power"), std::string::npos);
  ASSERT_TRUE(machine->waitFor("0)Power"));
  machine->drain(300ms);
  EXPECT_TRUE(machine->running()) << "keys typed during the brew powered it off";
  EXPECT_EQ(machine->sinceLastMatch().find("Cleaning"), std::string::npos);
  EXPECT_EQ(readFile("reserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "700");
  machine->type("9\n");
  ASSERT_TRUE(machine->waitForClockLine());
  ASSERT_TRUE(machine->waitForClockLine());  // past a pass that could fire it again
  EXPECT_EQ(machine->sinceLastMatch().find("Boiling"), std::string::npos) << "fired twice";
}

TEST_F(FullEditionTest, AtEndOfInputTheClockRunsAndBookingsFireWithoutSpinning) {
  writeFile("reserveData.txt", "12241830\n200\n0\n");
  writeFile("cleanReserveData.txt", "12241830\n");
  auto machine = start(kFullProgram, /*stdinFromDevNull=*/true);
  ASSERT_TRUE(machine->waitFor("** Coffee Making Finished..!!"));
  ASSERT_TRUE(machine->waitFor("** cleaning is finished."));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "");
  EXPECT_EQ(readFile("cleanReserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "300");

  const auto descriptors = [&machine] {
    return std::distance(std::filesystem::directory_iterator("/proc/" + std::to_string(machine->pid()) + "/fd"),
                         {});
  };
  const auto openBefore = descriptors();
  const double cpuBefore = cpuSeconds(machine->pid());
  machine->skipToEnd();
  machine->drain(2s);  // 40 seconds of standby at the accelerated clock
  EXPECT_TRUE(machine->running());
  EXPECT_EQ(machine->transcript().find("0)Power"), std::string::npos);
  EXPECT_LT(cpuSeconds(machine->pid()) - cpuBefore, 0.2) << "standby must not spin";
  EXPECT_EQ(descriptors(), openBefore) << "standby passes leave descriptors open";
  EXPECT_TRUE(everySecondOnce(machine->sinceLastMatch())) << "a second shown twice";
}

// Back 90 minutes, forward to a booking's minute, back over it.
TEST_F(FullEditionTest, AClockThatStepsNeverStopsTheClockNorBringsABookingBack) {
  for (const std::string& program : {kFullProgram, kBasicProgram}) {
    writeFile("reserveData.txt", "12241845\n100\n0\n");
    stepClockTo("2026-12-24 18:29:50");
    auto machine = start(program);
    ASSERT_TRUE(machine->waitForClockLine());
    for (const char* to : {"17:00:00", "18:45:00", "18:44:00"}) {
      stepClockTo(std::string("2026-12-24 ") + to);
      const std::string clock = std::string("2026-12-24  ") + std::to_string(std::atoi(to)) + " : " +
                                std::to_string(std::atoi(to + 3)) + " : ";
      EXPECT_TRUE(machine->waitFor(clock, 2s)) << program << " stepped to " << to;
    }
    machine->drain(2s);
    EXPECT_EQ(count(machine->transcript(), "Coffee Making Finished"), 1u) << program;
    EXPECT_EQ(readFile("reserveData.txt"), "");
  }
}

// Each signal is sent while a screen clear runs, when a shell command's
// caller is most tempted to ignore it.
TEST_F(FullEditionTest, SignalsRestoreTheTerminal) {
  useSlowClear();
  // Ignored where it was started (nohup, trap ''), a signal stays ignored.
  ::signal(SIGUSR1, SIG_IGN);
  auto ignoring = start(kFullProgram);
  ::signal(SIGUSR1, SIG_DFL);
  ASSERT_TRUE(ignoring->waitForClockLine());
  ignoring->signal(SIGUSR1);
  ASSERT_TRUE(ignoring->waitForClockLine());
  EXPECT_TRUE(ignoring->running()) << "an ignored signal ended it";
  for (int signo : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGABRT, SIGSEGV}) {
    auto machine = start(kFullProgram);
    ASSERT_TRUE(machine->waitForClockLine());
    ASSERT_TRUE(machine->waitFor("[slow clear]"));
    // A second after the first clock line the key read has line mode and echo off.
    EXPECT_FALSE(isLineModeWithEcho(machine->terminalSettings()));
    machine->signal(signo);
    // AddressSanitizer, where the program carries it, ends a SIGSEGV with
    // its report and status 1.
    const std::optional<int> status = machine->waitExit();
    EXPECT_TRUE(status == 128 + signo || (signo == SIGSEGV && status == 1)) << "signal " << signo;
    EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings())) << "signal " << signo;
  }
}

}  // namespace
}  // namespace cm::e2e
