// The working folder as the programs find it and share it: two programs
// take turns at the one machine, wait for each other's locks and finish
// what a killed one left; a folder that cannot be written is said before
// the terminal is touched, and a write that fails while they run changes
// nothing.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "e2e/e2e_fixture.h"
#include "support/text_count.h"

namespace cm::e2e {
namespace {

using test::count;

// Both editions in one folder, every booking due at once: each fires exactly
// once in all, and the level files account for every brew and grinding.
TEST_F(EndToEndTest, BothEditionsInOneFolderFireEachBookingOnceAndEveryBrewCounts) {
  writeFile("reserveData.txt", "12240800\n100\n0\n12240900\n100\n1\n12241000\n100\n0\n12241100\n100\n0\n");
  setLevels(1000, 5, 100);
  auto full = start(kFullProgram);
  auto basic = start(kBasicProgram);
  for (int wait = 0; wait < 400 && readFile("reserveData.txt") != ""; ++wait) {
    full->drain(25ms);
    basic->drain(25ms);
  }
  ASSERT_EQ(readFile("reserveData.txt"), "");
  ASSERT_TRUE(full->waitForClockLine());
  ASSERT_TRUE(basic->waitForClockLine());
  const std::string both = full->transcript() + basic->transcript();
  const std::size_t brews = count(both, " Coffee Making Finished..!! ");
  const std::size_t refused = count(both, " powder is remain. ");
  const std::size_t grinds = count(both, " Grinding..... ");
  EXPECT_EQ(brews + refused, 4u) << brews << " brews, " << refused << " refused";
  EXPECT_GE(brews, 1u);
  EXPECT_EQ(readFile("waterSensor.txt"), std::to_string(1000 - 100 * brews));
  EXPECT_EQ(readFile("powderSensor.txt"), std::to_string(5 + 10 * grinds - 10 * brews));
  EXPECT_EQ(readFile("beanSensor.txt"), std::to_string(100 - 10 * grinds));
}

TEST_F(EndToEndTest, ABookingStoredByOneEditionFiresInTheOther) {
  {
    auto full = start(kFullProgram);
    ASSERT_TRUE(full->waitForClockLine());
    openMenu(*full);
    full->type("2\n");
    answer(*full, "time : ", "12241831\n");
    answer(*full, "concentrate : ", "200\n");
    answer(*full, "temperature : ", "0\n");
    ASSERT_TRUE(full->waitForClockLine());
    openMenu(*full);
    full->type("0\n");
    ASSERT_EQ(full->waitExit(), 0);
  }
  {
    auto basic = start(kBasicProgram, false, "2026-12-24 18:30:55");
    ASSERT_TRUE(basic->waitFor("\xA1\xE1 Coffee Making Finished..!! "));
    ASSERT_TRUE(basic->waitForClockLine());
    EXPECT_EQ(readFile("reserveData.txt"), "");
    EXPECT_EQ(readFile("waterSensor.txt"), "800");
    ASSERT_TRUE(basic->waitForClockLine());
    openMenu(*basic);
    basic->type("3\n");  // clean out the used powder for the next brew
    ASSERT_TRUE(basic->waitFor("\xA1\xE1 cleaning is finished. "));
    ASSERT_TRUE(basic->waitForClockLine());
    openMenu(*basic);
    basic->type("2\n");
    answer(*basic, "time : ", "12241833\n");
    answer(*basic, "concentrate : ", "100\n");
    answer(*basic, "temperature : ", "0\n");
    ASSERT_TRUE(basic->waitForClockLine());
    ASSERT_TRUE(basic->waitForClockLine());
    openMenu(*basic);
    basic->type("0\n");
    ASSERT_EQ(basic->waitExit(), 0);
  }
  auto full = start(kFullProgram, false, "2026-12-24 18:32:55");
  ASSERT_TRUE(full->waitFor("** Coffee Making Finished..!!"));
  ASSERT_TRUE(full->waitForClockLine());
  EXPECT_EQ(readFile("reserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "200");
}

// One machine runs one sequence at a time, whichever program asks: a brew
// chosen at the menu while the other program makes a booked one waits for
// it, and a booking due while the other makes one from the menu waits too.
// Either way the second brew finds the powder the first one used, grinds,
// and no level ever goes below zero.
TEST_F(EndToEndTest, ProgramsInOneFolderTakeTurnsAtTheMachine) {
  // The first brew makes 300 mL at a quarter of the usual speed; the
  // booking is due for the full edition only.
  const auto session = [&](const std::string& program, const char* fakeStart, bool first) {
    SessionOptions options;
    options.program = program;
    options.folder = folder_;
    options.fakeStart = fakeStart;
    options.speed = first ? 5 : 20;
    return std::make_unique<PtySession>(options);
  };
  for (const bool bookingFirst : {true, false}) {
    setLevels(1000, 10, 100);
    writeFile("reserveData.txt", "");
    auto menu = session(kBasicProgram, "2026-12-24 18:20:00", !bookingFirst);
    ASSERT_TRUE(menu->waitForClockLine());
    openMenu(*menu);
    menu->type("1\n");
    answer(*menu, "concentrate : ", bookingFirst ? "100\n" : "300\n");
    answer(*menu, "temperature : ", bookingFirst ? "" : "0\n");
    if (!bookingFirst) {
      ASSERT_TRUE(menu->waitFor(" Coffee Making."));
    }
    writeFile("reserveData.txt", bookingFirst ? "12241830\n300\n0\n" : "12241830\n100\n0\n");
    auto booked = session(kFullProgram, "2026-12-24 18:30:00", bookingFirst);
    if (bookingFirst) {
      ASSERT_TRUE(booked->waitFor("** Coffee Making."));
      menu->type("0\n");
    }
    const std::string finished = " Coffee Making Finished..!! ";
    std::string lowestPowder = readFile("powderSensor.txt");
    for (int wait = 0; wait < 3000 && count(menu->transcript() + booked->transcript(), finished) < 2;
         ++wait) {
      menu->drain(5ms);
      booked->drain(5ms);
      if (readFile("powderSensor.txt").starts_with('-')) lowestPowder = readFile("powderSensor.txt");
    }
    for (PtySession* machine : {menu.get(), booked.get()}) {
      ASSERT_TRUE(machine->waitFor(finished)) << bookingFirst;
      ASSERT_TRUE(machine->waitForClockLine());  // the booking has left its file
      EXPECT_EQ(count(machine->transcript(), finished), 1u) << bookingFirst;
    }
    EXPECT_FALSE(lowestPowder.starts_with('-')) << "powder " << lowestPowder;
    EXPECT_EQ(
        snapshot(),
        "waterSensor.txt=600;powderSensor.txt=0;beanSensor.txt=90;reserveData.txt=;cleanReserveData.txt=;")
        << (bookingFirst ? "a menu brew during a booked one" : "a booking due during a menu brew");
  }
  // A cleaning chosen at the menu waits too, and then finds too little water.
  setLevels(700, 10, 100);
  writeFile("reserveData.txt", "12241830\n300\n0\n");
  auto booked = session(kFullProgram, "2026-12-24 18:30:00", true);
  ASSERT_TRUE(booked->waitFor("** Coffee Making."));
  auto menu = session(kBasicProgram, "2026-12-24 18:20:00", false);
  openMenu(*menu);
  menu->type("3\n");
  EXPECT_TRUE(menu->waitFor(" no water ")) << "cleaned during the other program's brew";
  ASSERT_TRUE(booked->waitForClockLine());
  EXPECT_EQ(readFile("waterSensor.txt") + readFile("reserveData.txt"), "400");
}

// A program killed in the middle of a booked brew blocks nothing: the other
// one keeps its clock and then runs that booking, once.
TEST_F(EndToEndTest, AProgramKilledInABookedBrewBlocksNothingAndTheBookingFiresOnce) {
  writeFile("reserveData.txt", "12240800\n200\n1\n");
  SessionOptions slow;
  slow.program = kFullProgram;
  slow.folder = folder_;
  slow.speed = 1;  // its brew lasts 20 real seconds
  auto full = std::make_unique<PtySession>(slow);
  ASSERT_TRUE(full->waitFor("** Boiling."));
  auto basic = start(kBasicProgram);
  for (int pass = 0; pass < 3; ++pass) ASSERT_TRUE(basic->waitForClockLine());
  EXPECT_EQ(basic->transcript().find("Boiling"), std::string::npos) << "ran a booking the other program runs";
  full->kill();
  ASSERT_TRUE(basic->waitFor(" Coffee Making Finished..!! "));
  ASSERT_TRUE(basic->waitForClockLine());
  ASSERT_TRUE(basic->waitForClockLine());  // past a pass that could fire it again
  EXPECT_EQ(count(basic->transcript(), " Coffee Making Finished..!! "), 1u);
  EXPECT_EQ(readFile("reserveData.txt"), "");
  EXPECT_EQ(readFile("waterSensor.txt"), "800");
}

// The locks of another program, held by the test: a booked brew or cleaning
// waits for the claim and looks at its file again once it has it; its
// booking leaves the file before the claim is let go; a level change waits
// for the update lock and builds on what it finds then.
TEST_F(EndToEndTest, ProgramsWaitForTheLocksAndLookAgainOnceTheyHaveThem) {
  auto machine = start(kFullProgram, false, "2026-12-24 18:30:00");
  for (const auto& [file, booking] : {std::pair{"reserveData.txt", "12241830\n200\n0\n"},
                                      std::pair{"cleanReserveData.txt", "12241830\n"}}) {
    auto claim = std::make_unique<HeldLock>(folder_, kClaim);
    writeFile(file, booking);
    for (int pass = 0; pass < 3; ++pass) ASSERT_TRUE(machine->waitForClockLine());
    // The other program fires the booking while this one, just claimed,
    // waits for the update lock.
    auto update = std::make_unique<HeldLock>(folder_, kUpdateLock);
    claim.reset();
    for (int wait = 0; wait < 2000 && !lockedByAProgram(folder_, kClaim); ++wait) machine->drain(10ms);
    ASSERT_TRUE(lockedByAProgram(folder_, kClaim));
    writeFile(file, "");
  }
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(machine->transcript().find("** "), std::string::npos) << "ran a booking held or fired by another";

  writeFile("cleanReserveData.txt", "12241830\n");
  ASSERT_TRUE(machine->waitFor("** cleaning is finished.")) << machine->sinceLastMatch();
  auto update = std::make_unique<HeldLock>(folder_, kUpdateLock);
  // Past the result screen the booking's removal waits for the update lock.
  ASSERT_TRUE(untilItWaitsFor(*machine, folder_, kUpdateLock));
  EXPECT_TRUE(lockedByAProgram(folder_, kClaim))
      << "the claim was let go before the booking left its file";
  update.reset();
  ASSERT_TRUE(machine->waitForClockLine());
  EXPECT_EQ(readFile("cleanReserveData.txt"), "");

  openMenu(*machine);
  machine->type("4\n");
  answer(*machine, "water : ", "100\n");
  answer(*machine, "powder : ", "0\n");
  update = std::make_unique<HeldLock>(folder_, kUpdateLock);
  answer(*machine, "bean : ", "0\n");
  ASSERT_TRUE(machine->waitFor("charging..."));
  ASSERT_TRUE(untilItWaitsFor(*machine, folder_, kUpdateLock));
  EXPECT_EQ(readFile("waterSensor.txt"), "500") << "changed while another program held the update lock";
  writeFile("waterSensor.txt", "700");
  update.reset();
  ASSERT_TRUE(machine->waitFor("renewMaterial finished!!"));
  EXPECT_EQ(readFile("waterSensor.txt"), "800");
}

// Started without standard input and output, a program must not hand those
// descriptors to its data files (screens would land in them, or file bytes
// be read as keys): it puts /dev/null there first.
TEST_F(EndToEndTest, ClosedStandardStreamsAreNeverGivenToDataFiles) {
  for (const std::string& program : {kFullProgram, kBasicProgram}) {
    // A pipe whose writing end closes at the exec (kept clear of 0 and 1):
    // until then the child still shows the descriptors it inherited.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const int reader = ::fcntl(ends[0], F_DUPFD_CLOEXEC, 3);
    const int writer = ::fcntl(ends[1], F_DUPFD_CLOEXEC, 3);
    ::close(ends[0]);
    ::close(ends[1]);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (::chdir(folder_.c_str()) != 0) ::_exit(126);
      ::close(0);
      ::close(1);
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(writer);
    char none;
    while (::read(reader, &none, 1) < 0 && errno == EINTR) {
    }
    ::close(reader);
    std::string in;
    std::string out;
    for (int wait = 0; wait < 1000 && (in.empty() || out.empty()); ++wait) {
      std::this_thread::sleep_for(2ms);
      std::error_code ignored;
      in = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/0", ignored).string();
      out = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/1", ignored).string();
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(in, "/dev/null") << program;
    EXPECT_EQ(out, "/dev/null") << program;
  }
  EXPECT_EQ(readFile("waterSensor.txt"), "1000");
}

// A program that may read its folder but not write it (another user's
// folder, a read-only mount) says so before it touches the terminal, and
// ends with status 1; so does one that finds a link for its lock file.
TEST_F(EndToEndTest, AFolderItCannotWriteIsSaidBeforeTheTerminalIsTouched) {
  const std::string before = snapshot();
  for (const std::string& program : {kFullProgram, kBasicProgram}) {
    auto machine = startAsNobody(program, /*nobodysFolder=*/false);
    EXPECT_EQ(machine->waitExit(), 1);
    EXPECT_EQ(machine->transcript(), std::filesystem::path(program).filename().string() +
                                         ": cannot write the folder " + folder_.string() +
                                         ": Permission denied\r\n");
    EXPECT_TRUE(isLineModeWithEcho(machine->terminalSettings()));
  }
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
  std::filesystem::create_symlink("elsewhere", folder_ / ".coffee_machine.lock");
  auto machine = start(kBasicProgram);
  EXPECT_EQ(machine->waitExit(), 1);
  EXPECT_EQ(machine->transcript(), "coffee_machine_basic: cannot write the folder " + folder_.string() +
                                       ": .coffee_machine.lock: Too many levels of symbolic links\r\n");
  std::filesystem::remove(folder_ / ".coffee_machine.lock");
  writeFile(".coffee_machine.lock", "");
  environment_ = {"COFFEE_FAIL_AT_STEP=read .coffee_machine.lock#1:EIO"};
  auto unread = start(COFFEE_MACHINE_BASIC_FAULTY_PATH);
  EXPECT_EQ(unread->waitExit(), 1);
  EXPECT_NE(unread->transcript().find(": cannot read the folder " + folder_.string() +
                                      ": .coffee_machine.lock: Input/output error\r\n"),
            std::string::npos)
      << unread->transcript();
  EXPECT_EQ(snapshot(), before);
}

// A write that fails while the program runs (here its folder is made
// read-only) ends that action with the file and the reason, never with a
// success screen or bell; no file changes, the booking stays listed as its
// file holds it, and it is not fired again.
TEST_F(EndToEndTest, AWriteThatFailsWhileItRunsIsSaidAndChangesNothing) {
  writeFile("reserveData.txt", "12241830\n200\n0\n");
  writeFile(".coffee_machine.lock", "");  // left by an earlier change
  auto machine = startAsNobody(kFullProgram, /*nobodysFolder=*/true);
  ASSERT_TRUE(machine->waitForClockLine());
  std::filesystem::permissions(folder_, std::filesystem::perms{0555});
  const std::string before = snapshot();
  const std::string failed = "cannot write waterSensor.txt: Permission denied\r\n\a\r\n\a\r\n\a\r\n";
  ASSERT_TRUE(machine->waitFor(failed)) << machine->transcript();
  for (int pass = 0; pass < 5; ++pass) ASSERT_TRUE(machine->waitForClockLine());
  openMenu(*machine);
  EXPECT_NE(machine->transcript().rfind("timeTable>>\r\ntime : 12241830\r\ncleanTable>>"), std::string::npos);
  machine->type("4\n");
  answer(*machine, "water : ", "-10\n");
  answer(*machine, "powder : ", "0\n");
  answer(*machine, "bean : ", "0\n");
  ASSERT_TRUE(machine->waitFor("charging..."));
  ASSERT_TRUE(machine->waitFor(failed)) << machine->sinceLastMatch();
  openMenu(*machine);
  machine->type("8\n");
  answer(*machine, "time : ", "12250700\n");
  ASSERT_TRUE(machine->waitFor("cannot write cleanReserveData.txt: Permission denied\r\n"));
  ASSERT_TRUE(machine->waitForClockLine());
  const std::string& all = machine->transcript();
  EXPECT_EQ(count(all, "** Coffee Making.....  "), 2u) << "the booking fired again";
  EXPECT_EQ(all.find("Finished"), std::string::npos);
  EXPECT_EQ(all.find("renewMaterial finished!!"), std::string::npos);
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace cm::e2e
