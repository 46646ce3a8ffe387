// Both programs killed with SIGKILL at random moments while they brew,
// clean, book and recharge: every data file must still hold whole numbers
// and whole bookings, and no temporary file may outlive the next start.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <regex>
#include <thread>

#include "e2e/e2e_fixture.h"

namespace cm::e2e {
namespace {

using Clock = std::chrono::steady_clock;

int envOr(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value ? std::atoi(value) : fallback;
}

const std::vector<Action> kActions = {
    {{"", "q"}, {"0)Power", "1\n"}, {"concentrate : ", "100\n"}, {"temperature : ", "1\n"}},  // brew
    {{"", "q"}, {"0)Power", "3\n"}},                                                          // cleaning
    {{"", "q"},
     {"0)Power", "2\n"},
     {"time : ", "12240000\n"},
     {"concentrate : ", "200\n"},
     {"temperature : ", "0\n"}},  // due booking
    {{"", "q"}, {"0)Power", "4\n"}, {"water : ", "400\n"}, {"powder : ", "5\n"}, {"bean : ", "30\n"}},
    {{"", "q"}, {"0)Power", "8\n"}, {"time : ", "12240000\n"}},  // due cleaning (full edition)
};

class CrashSafetyTest : public EndToEndTest {
 protected:
  // Whether some program holds one of the folder's locks.
  bool folderLocked() const {
    return lockedByAProgram(folder_, kUpdateLock) || lockedByAProgram(folder_, kClaim);
  }

  // What is wrong with the data files now; empty when nothing is.
  std::string damage() const {
    static const std::regex level(R"(-?\d+)");
    static const std::regex brewBookings(R"((-?\d+\n-?\d+\n-?\d+\n)*)");
    static const std::regex cleanBookings(R"((-?\d+\n)*)");
    std::string found;
    for (const char* name : {"waterSensor.txt", "powderSensor.txt", "beanSensor.txt"}) {
      if (!std::regex_match(readFile(name), level))
        found += std::string(name) + " holds '" + readFile(name) + "' ";
    }
    if (!std::regex_match(readFile("reserveData.txt"), brewBookings))
      found += "reserveData.txt is not whole bookings ";
    if (!std::regex_match(readFile("cleanReserveData.txt"), cleanBookings)) {
      found += "cleanReserveData.txt is not whole bookings ";
    }
    return found;
  }
};

TEST_F(CrashSafetyTest, KilledAtRandomMomentsEveryFileStaysWhole) {
  const int trials = envOr("COFFEE_KILL_TRIALS", 200);
  const unsigned seed = static_cast<unsigned>(envOr("COFFEE_KILL_SEED", 20261224));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> killAfterMs(0, 500);
  std::uniform_int_distribution<std::size_t> pick(0, kActions.size() - 1);

  int failures = 0;
  int leftoversSeen = 0;
  int killedHoldingALock = 0;
  int ran = 0;
  // No wall-clock budget: on a loaded machine every trial still runs.
  for (int trial = 0; trial < trials; ++trial, ++ran) {
    const bool full = trial % 2 == 0;
    SessionOptions options;
    options.program = full ? kFullProgram : kBasicProgram;
    options.folder = folder_;
    options.speed = 50;
    PtySession machine(options);
    if (!machine.waitForClockLine()) {
      ADD_FAILURE() << "trial " << trial << ": no standby clock; exit " << machine.waitExit(0ms).value_or(-1)
                    << ":\n"
                    << machine.transcript();
      ++failures;
      continue;
    }
    if (const auto stale = temporaryFiles(machine.pid()); !stale.empty()) {
      ADD_FAILURE() << "trial " << trial << ": a start left " << stale.front() << " behind";
      ++failures;
    }

    const auto killAt = Clock::now() + std::chrono::milliseconds(killAfterMs(random));
    const Action& action = kActions[pick(random)];
    for (const Step& step : action) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(killAt - Clock::now());
      if (left <= 0ms) break;
      if (*step.prompt != '\0' && !machine.waitFor(step.prompt, left)) break;
      machine.type(step.typed);
    }
    while (Clock::now() < killAt) machine.drain(5ms);
    killedHoldingALock += folderLocked() ? 1 : 0;
    machine.kill();
    // A "clear" the program had just spawned holds its descriptors until it
    // starts the command: a moment, which a loaded machine stretches.
    for (int wait = 0; wait < 500 && folderLocked(); ++wait) std::this_thread::sleep_for(10ms);
    if (folderLocked()) {
      ADD_FAILURE() << "trial " << trial << ": a lock outlived the program that held it";
      ++failures;
    }

    leftoversSeen += static_cast<int>(temporaryFiles().size());
    if (const std::string found = damage(); !found.empty()) {
      ADD_FAILURE() << "trial " << trial << " (seed " << seed << "): " << found;
      ++failures;
    }
    // Keep the machine able to brew and the booking lists short.
    setLevels(1000, 10, 100);
    if (readFile("reserveData.txt").size() > 200) writeFile("reserveData.txt", "");
    if (readFile("cleanReserveData.txt").size() > 200) writeFile("cleanReserveData.txt", "");
  }
  std::printf(
      "crash safety: %d trials (seed %u), %d failures, %d temporary files left by a kill and removed "
      "at the next start, %d kills while the program held a lock\n",
      ran, seed, failures, leftoversSeen, killedHoldingALock);
  EXPECT_EQ(failures, 0);
}

// A temporary file of any data file is gone once either edition has
// started, whatever pid its name carries: a dead program's, or, after a
// power cut, one that now names a live process (pid 1 always runs). Not
// before the start holds the update lock, though: until then they may be
// another program's, in the middle of a change. A user's file that only
// looks like one stays.
TEST_F(CrashSafetyTest, EveryStartRemovesTheTemporaryFilesOfEveryDataFile) {
  const std::string before = snapshot();
  writeFile("waterSensor.txt.bak.tmp", "a user's");
  writeFile("reserveData.txt.20261224", "dated");
  writeFile("waterSensor.txt.1234.bak", "kept");
  for (const std::string& program : {kFullProgram, kBasicProgram}) {
    for (const std::string name : {"waterSensor.txt", "powderSensor.txt", "beanSensor.txt", "reserveData.txt",
                                   "cleanReserveData.txt"}) {
      writeFile(name + ".1.tmp", "1");
      writeFile(name + ".4194305.tmp", "2");  // above Linux's largest pid
    }
    auto update = std::make_unique<HeldLock>(folder_, kUpdateLock);
    auto machine = start(program);
    ASSERT_TRUE(untilItWaitsFor(*machine, folder_, kUpdateLock)) << program;
    EXPECT_EQ(temporaryFiles().size(), 11u) << program << ": removed before it held the update lock";
    update.reset();
    ASSERT_TRUE(machine->waitForClockLine());
    EXPECT_EQ(temporaryFiles(), std::vector<std::string>{"waterSensor.txt.bak.tmp"}) << program;
  }
  EXPECT_EQ(readFile("reserveData.txt.20261224") + readFile("waterSensor.txt.1234.bak"), "datedkept")
      << "a household's copy was taken for a temporary file";
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace cm::e2e
