// coffee_machine_basic driven through a pseudo-terminal, and the data files
// it shares with the full edition.
#include <signal.h>

#include <algorithm>

#include "e2e/e2e_fixture.h"

namespace cm::e2e {
namespace {

const std::string g = "\xA1\xE1";  // the frame glyph
std::string framed(const std::string& body) {
  return g + body + std::string(36 - body.size(), ' ') + g + "\r\n";
}
std::string border() {
  std::string row;
  for (int i = 0; i < 20; ++i) row += g;
  return row + "\r\n";
}

class BasicEditionTest : public EndToEndTest {
 protected:
  // The key is polled once a pass: press it in standby, after a clock line.
  static void wake(PtySession& machine, const char* key = "k") {
    ASSERT_TRUE(machine.waitForClockLine());
    openMenu(machine, key);
  }
};

TEST_F(BasicEditionTest, StandbyShowsTheClockAndFiresADueBookingWithoutAKey) {
  writeFile("reserveData.txt", "12241830\n100\n0\n12241200\n200\n0\n");
  auto machine = start(kBasicProgram, false, "2026-12-24 18:29:50");
  ASSERT_TRUE(machine->waitFor("2026-12-24  18 : 29 : 5"));
  // The morning booking is already due; the one for 18:30 waits for its minute.
  ASSERT_TRUE(machine->waitFor(framed(" Coffee Making Finished..!!")));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "12241830\n100\n0\n");
  ASSERT_TRUE(machine->waitFor(framed(" powder is remain.")));
  machine->type("3\n0\n");  // typed on a held screen: the 3 wakes it, the rest is dropped
  EXPECT_LT(machine->transcript().find("2026-12-24  18 : 30 : "),
            machine->transcript().find(" powder is remain."));
  ASSERT_TRUE(machine->waitFor("0)Power"));
  machine->drain(300ms);
  EXPECT_TRUE(machine->running()) << "keys typed on a held screen powered it off";
  EXPECT_EQ(readFile("reserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "800");
  EXPECT_EQ(machine->transcript().find("timeTable>>"), std::string::npos) << "no status header";
}

TEST_F(BasicEditionTest, AnyKeyOpensTheGlyphFramedMenuAndTypedValuesAreNotEchoed) {
  auto machine = start(kBasicProgram);
  wake(*machine, "1");  // the waking digit is not taken as the choice
  const std::string& screen = machine->transcript();
  const std::string menu =
      border() + framed("       ==VORNE_Coffee Machine==") + framed(" 1)Make") + framed(" 2)Reserve") +
      framed(" 3)Cleaning") + border() + "\r\n" + "                     4)Recharge material\r\n" +
      "                         5)Show material\r\n" + "                     6)Show Reserve List\r\n" +
      "                                 0)Power";
  EXPECT_NE(screen.find(menu), std::string::npos) << screen.substr(screen.size() - 600);
  EXPECT_EQ(screen.find("Clean List"), std::string::npos);

  const std::size_t typedFrom = screen.size();
  machine->type("1\n");
  answer(*machine, "concentrate : ", "300\n");
  answer(*machine, "temperature : ", "0\n");
  ASSERT_TRUE(machine->waitFor(framed(" Coffee Making Finished..!!")));
  const std::string afterTyping = machine->transcript().substr(typedFrom);
  EXPECT_NE(afterTyping.find(border() + framed("      ==VORNE_Coffee Machine==") + framed("") + framed("") +
                             framed("") + border() + "concentrate : temperature : "),
            std::string::npos)
      << "the answers must not be echoed";
  EXPECT_EQ(afterTyping.find("300"), std::string::npos);
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("waterSensor.txt"), "700");
  EXPECT_EQ(readFile("powderSensor.txt"), "0");
}

TEST_F(BasicEditionTest, EmptyBookingIsABrewBookingAndTheCleaningFileStaysUntouched) {
  writeFile("cleanReserveData.txt", "12250700\n");
  const auto cleanFileTime = modified("cleanReserveData.txt");
  auto machine = start(kBasicProgram);
  wake(*machine);
  machine->type("2\n");
  answer(*machine, "time : ", "12241900\n");
  answer(*machine, "concentrate : ", "0\n");
  answer(*machine, "temperature : ", "0\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "12241900\n0\n0\n");
  EXPECT_EQ(readFile("cleanReserveData.txt"), "12250700\n");
  EXPECT_EQ(modified("cleanReserveData.txt"), cleanFileTime);

  wake(*machine);
  machine->type("6\n");
  ASSERT_TRUE(machine->waitFor("Number : 1\r\ntime : 12241900\r\nconcentrate : 0\r\ntemperature : 0\r\n"));
}

TEST_F(BasicEditionTest, MaterialScreenBytesAndChoicesSevenAndEightDoNothing) {
  auto machine = start(kBasicProgram);
  wake(*machine);
  machine->type("5\n");
  ASSERT_TRUE(machine->waitFor("\r\n water  : 1000\tmL\r\n powder : 10\tg\r\n bean   : 100\tg "));
  const std::string before = snapshot();
  for (const char* choice : {"7\n", "8\n", "abc\n", "99999999999\n"}) {
    wake(*machine);
    machine->type(choice);
    ASSERT_TRUE(machine->waitForClockLine()) << choice;
    EXPECT_EQ(machine->sinceLastMatch().find("time : "), std::string::npos);
  }
  wake(*machine);
  machine->type("2\n");
  answer(*machine, "time : ", "12241900\n");
  answer(*machine, "concentrate : ", "1x\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(snapshot(), before);

  // Enter alone is passed over at the menu and at the prompts.
  wake(*machine);
  machine->type("\n \n2\n");
  answer(*machine, "time : ", "\n12241900\n");
  answer(*machine, "concentrate : ", "\n100\n");
  answer(*machine, "temperature : ", "  \n0\n");
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "12241900\n100\n0\n");
}

TEST_F(BasicEditionTest, PowerOffAndInterruptRestoreTheTerminal) {
  auto machine = start(kBasicProgram);
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_FALSE(isLineModeWithEcho(machine->terminalSettings())) << "keyboard mode for the whole run";
  wake(*machine);
  machine->type("0\n");
  EXPECT_EQ(machine->waitExit(), 0);
  EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings()));

  useSlowClear();  // each signal lands while a screen clear runs
  for (int signo : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGABRT}) {
    auto again = start(kBasicProgram);
    ASSERT_TRUE(again->waitForClockLine());
    ASSERT_TRUE(again->waitFor("[slow clear]"));
    again->signal(signo);
    EXPECT_EQ(again->waitExit(), 128 + signo);
    EXPECT_TRUE(isLineModeWithEcho(again->terminalSettings())) << "signal " << signo;
  }
}

TEST_F(BasicEditionTest, CtrlZGivesTheShellItsTerminalAndContinuingTakesKeyboardModeBack) {
  useSlowClear();  // the Ctrl-Z lands while a screen clear runs
  SessionOptions options;
  options.program = kBasicProgram;
  options.folder = folder_;
  options.jobControl = true;
  options.pathPrefix = pathPrefix_;
  auto machine = std::make_unique<PtySession>(options);
  ASSERT_TRUE(machine->waitForClockLine());
  const pid_t job = machine->foregroundGroup();
  ASSERT_NE(job, machine->pid());
  for (int time = 1; time <= 2; ++time) {  // the second Ctrl-Z as the first
    ASSERT_TRUE(machine->waitFor("[slow clear]"));
    machine->type("\x1a");  // Ctrl-Z
    bool stopped = false;
    for (int wait = 0; wait < 2000 && !stopped; ++wait) {
      machine->drain(10ms);
      stopped = processState(job) == 'T';
    }
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings())) << "Ctrl-Z number " << time;
    ::kill(-job, SIGCONT);
    machine->skipToEnd();
    ASSERT_TRUE(machine->waitForClockLine());
    EXPECT_FALSE(isLineModeWithEcho(machine->terminalSettings()));
  }
  // The clear that the stop cut into was still waited for, not left behind
  // to end later (and wipe a later screen).
  // A zombie seen twice, 300 ms apart, was never waited for.
  machine->drain(1s);
  const std::vector<pid_t> seen = zombieChildren(job);
  machine->drain(300ms);
  for (const pid_t again : zombieChildren(job)) {
    EXPECT_EQ(std::count(seen.begin(), seen.end(), again), 0) << "clear " << again << " was left unwaited";
  }
  wake(*machine);
  machine->type("0\n");
  EXPECT_EQ(machine->waitExit(), 0);
  EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings()));
}

// Hand edits made at the screens where a stale copy of a file would undo
// them (the basic edition has no status header to read them again):
// beans recharged during the grinding, a booking added during a booked
// brew's result screen, and one added at a booking's last prompt.
TEST_F(BasicEditionTest, HandEditsAtTheExactScreensOfASequenceStay) {
  setLevels(1000, 5, 20);
  writeFile("reserveData.txt", "12241830\n100\n0\n");
  SessionOptions options;
  options.program = kBasicProgram;
  options.folder = folder_;
  options.fakeStart = "2026-12-24 18:30:00";
  options.speed = 5;  // a generous moment for each hand edit
  PtySession machine(options);
  ASSERT_TRUE(machine.waitFor(framed(" Grinding.")));
  writeFile("beanSensor.txt", "100");
  ASSERT_TRUE(machine.waitFor(framed(" Coffee Making Finished..!!")));
  writeFile("reserveData.txt", "12241830\n100\n0\n12241900\n200\n0\n");
  ASSERT_TRUE(machine.waitForClockLine());
  EXPECT_EQ(readFile("beanSensor.txt"), "90");
  EXPECT_EQ(readFile("reserveData.txt"), "12241900\n200\n0\n");

  wake(machine);
  machine.type("2\n");
  answer(machine, "time : ", "12242000\n");
  answer(machine, "concentrate : ", "100\n");
  ASSERT_TRUE(machine.waitFor("temperature : "));
  writeFile("reserveData.txt", "12241900\n200\n0\n12241905\n300\n1\n");
  machine.type("0\n");
  ASSERT_TRUE(machine.waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "12241900\n200\n0\n12241905\n300\n1\n12242000\n100\n0\n");
}

TEST_F(BasicEditionTest, AtEndOfInputItKeepsPollingWithoutSpinning) {
  writeFile("reserveData.txt", "12241830\n200\n1\n");
  auto machine = start(kBasicProgram, /*stdinFromDevNull=*/true);
  ASSERT_TRUE(machine->waitFor(framed(" Coffee Making Finished..!!")));
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "");
  const double cpuBefore = cpuSeconds(machine->pid());
  machine->drain(2s);
  EXPECT_TRUE(machine->running());
  EXPECT_EQ(machine->transcript().find("0)Power"), std::string::npos);
  EXPECT_LT(cpuSeconds(machine->pid()) - cpuBefore, 0.5);
}

}  // namespace
}  // namespace cm::e2e
