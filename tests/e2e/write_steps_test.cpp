// Cut at every write step, and fail at every write step and read.
//
// A sequence's write steps (each create, write, sync, close and rename of
// each file, the journal's too) are few, so all of them are tried, in
// test-only builds of both programs on the test disk: the program is killed
// just before the first step, then before the second, and so on, until a
// run finishes; and in a second table each write step, and each read the
// sequence depends on, fails in turn (as a full or failing disk makes it
// fail) while the program goes on. After each, another start must finish
// what the program left: the files then hold the state before the sequence,
// or after it (or, in a brew that grinds, after the grinding), and a booking
// still in its file fires later, once.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"

namespace cm::e2e {
namespace {

struct FolderState {
  int water;
  int powder;
  int beans;
  const char* bookings;   // reserveData.txt
  const char* cleanings;  // cleanReserveData.txt
};

// A booking file as a state shows it: a long one by its start, size and hash.
std::string shown(const std::string& bookings) {
  if (bookings.size() <= 200) return bookings;
  return bookings.substr(0, 40) + "... (" + std::to_string(bookings.size()) + " bytes, hash " +
         std::to_string(std::hash<std::string>{}(bookings)) + ")";
}

std::string describe(const FolderState& state) {
  return std::to_string(state.water) + "/" + std::to_string(state.powder) + "/" +
         std::to_string(state.beans) + " bookings [" + shown(state.bookings) + "] cleanings [" +
         shown(state.cleanings) + "]";
}

struct CutScenario {
  const char* name;
  bool full;
  FolderState before;
  Action typed;  // none: a booking due at start-up runs
  // The screen that says the sequence is done, once its effect is; none
  // for a booking typed at the menu, which goes back to standby.
  const char* lastScreen;
  // What the files may hold once the next start has finished what a killed
  // program left, in the order the sequence gets there.
  std::vector<FolderState> settled;
};

void PrintTo(const CutScenario& scenario, std::ostream* out) { *out << scenario.name; }

const char* const kBooking = "12241830\n200\n0\n";
const Action kMenuBrew = {
    {"", "q"}, {"0)Power", "1\n"}, {"concentrate : ", "300\n"}, {"temperature : ", "0\n"}};
const Action kRecharge = {
    {"", "q"}, {"0)Power", "4\n"}, {"water : ", "100\n"}, {"powder : ", "3\n"}, {"bean : ", "20\n"}};
const Action kMenuBooking = {{"", "q"},
                             {"0)Power", "2\n"},
                             {"time : ", "12251200\n"},
                             {"concentrate : ", "100\n"},
                             {"temperature : ", "1\n"}};

CutScenario bookedBrewThatGrinds(const char* name, bool full) {
  return {name,
          full,
          {1000, 5, 100, kBooking, ""},
          {},
          " Coffee Making Finished..!! ",
          {{1000, 5, 100, kBooking, ""}, {1000, 15, 90, kBooking, ""}, {800, 5, 90, "", ""}}};
}
CutScenario menuBrew(const char* name, bool full) {
  return {name,
          full,
          {1000, 10, 100, "", ""},
          kMenuBrew,
          " Coffee Making Finished..!! ",
          {{1000, 10, 100, "", ""}, {700, 0, 100, "", ""}}};
}
CutScenario recharge(const char* name, bool full) {
  return {name,
          full,
          {500, 5, 50, "", ""},
          kRecharge,
          "renewMaterial finished!!",
          {{500, 5, 50, "", ""}, {600, 8, 70, "", ""}}};
}
CutScenario menuBooking(const char* name, bool full) {
  return {name,         full, {1000, 10, 100, "", ""},
          kMenuBooking, "",   {{1000, 10, 100, "", ""}, {1000, 10, 100, "12251200\n100\n1\n", ""}}};
}

// A booking file of 1.5 MiB, the due booking and the next day's: the
// booking's removal writes a journal entry with the whole file in it, longer
// than one read of the journal (64 KiB).
std::string nextDaysBookings() {
  std::string bookings;
  while (bookings.size() < 1536 * 1024) bookings += "12251200\n100\n0\n";
  return bookings;
}
const std::string kLaterBookings = nextDaysBookings();
const std::string kLongBookingFile = kBooking + kLaterBookings;

const std::vector<CutScenario> kSequences = {
    bookedBrewThatGrinds("FullBookedBrewThatGrinds", true),
    bookedBrewThatGrinds("BasicBookedBrewThatGrinds", false),
    {"BasicBookedBrewRefused",
     false,
     {50, 10, 100, kBooking, ""},
     {},
     " no water ",
     {{50, 10, 100, kBooking, ""}, {50, 10, 100, "", ""}}},
    {"BasicBookedBrewRefusedInALongBookingFile",
     false,
     {50, 10, 100, kLongBookingFile.c_str(), ""},
     {},
     " no water ",
     {{50, 10, 100, kLongBookingFile.c_str(), ""}, {50, 10, 100, kLaterBookings.c_str(), ""}}},
    {"FullBookedCleaning",
     true,
     {1000, 10, 100, "", "12241830\n"},
     {},
     " cleaning is finished. ",
     {{1000, 10, 100, "", "12241830\n"}, {500, 10, 100, "", ""}}},
    menuBrew("FullMenuBrew", true),
    menuBrew("BasicMenuBrew", false),
    recharge("FullRecharge", true),
    recharge("BasicRecharge", false),
    menuBooking("FullMenuBooking", true),
    menuBooking("BasicMenuBooking", false),
    {"FullMenuCleaningBooking",
     true,
     {1000, 10, 100, "", ""},
     {{"", "q"}, {"0)Power", "8\n"}, {"time : ", "12251200\n"}},
     "",
     {{1000, 10, 100, "", ""}, {1000, 10, 100, "", "12251200\n"}}},
};

// A step as the program names it, "rename waterSensor.txt#1", from its line
// "[killed before step rename waterSensor.txt#1]", "[failing step rename
// waterSensor.txt#1: Input/output error]" or, listed, "[step ...]".
std::string stepIn(const std::string& transcript) {
  static const std::regex named(R"(\[(?:killed before|failing) step ([^\]:]*)(?::[^\]]*)?\])");
  std::smatch step;
  return std::regex_search(transcript, step, named) ? step[1].str() : std::string();
}

// What the step does, without its occurrence: "rename waterSensor.txt".
std::string doing(const std::string& step) { return step.substr(0, step.rfind('#')); }
bool reads(const std::string& step) { return step.starts_with("read "); }

// What was done to the files a killed program left before the next start,
// as a power cut or a person could.
struct Tampering {
  bool damagedEntry = false;  // a journal entry whose bytes changed
  bool handEdit = false;      // the water level edited by hand
};

class WriteSteps : public EndToEndTest, public ::testing::WithParamInterface<CutScenario> {
 protected:
  void setFolder(const FolderState& state) {
    setLevels(state.water, state.powder, state.beans);
    writeFile("reserveData.txt", state.bookings);
    writeFile("cleanReserveData.txt", state.cleanings);
    std::filesystem::remove(folder_ / ".coffee_machine.lock");
  }
  std::string folderState() const {
    return readFile("waterSensor.txt") + "/" + readFile("powderSensor.txt") + "/" +
           readFile("beanSensor.txt") + " bookings [" + shown(readFile("reserveData.txt")) + "] cleanings [" +
           shown(readFile("cleanReserveData.txt")) + "]";
  }
  // `fault`: "COFFEE_KILL_AT_STEP=STEP", "COFFEE_FAIL_AT_STEP=STEP:ERROR"
  // or "COFFEE_LIST_STEPS=1".
  std::unique_ptr<PtySession> startAt(const char* fakeStart, const std::string& fault = "") {
    SessionOptions options;
    // The builds on the test disk, which take the fault.
    options.program = GetParam().full ? COFFEE_MACHINE_FAULTY_PATH : COFFEE_MACHINE_BASIC_FAULTY_PATH;
    options.folder = folder_;
    options.speed = 100;
    options.fakeStart = fakeStart;
    if (!fault.empty()) options.environment = {fault};
    return std::make_unique<PtySession>(options);
  }
  // Starts the program with that fault, at the booking's minute, and types
  // the scenario's action.
  std::unique_ptr<PtySession> runWith(const std::string& fault) {
    setFolder(GetParam().before);
    auto machine = startAt("2026-12-24 18:30:00", fault);
    EXPECT_TRUE(machine->waitForClockLine()) << fault;
    for (const Step& typed : GetParam().typed) {
      if (*typed.prompt != '\0') {
        EXPECT_TRUE(machine->waitFor(typed.prompt)) << fault;
      }
      machine->type(typed.typed);
    }
    return machine;
  }
  // Waits until the action is over: its last screen (if it has one), then
  // standby. False when the program ended first.
  bool actionEnds(PtySession& machine) {
    const char* last = GetParam().lastScreen;
    return (*last == '\0' || machine.waitFor(last)) && machine.waitForClockLine();
  }

  // The steps of the scenario's action, each named once as the program
  // makes it, from a run without a fault that must end whole. The looks,
  // whose failure only a screen sees, are left out.
  std::vector<std::string> listSteps() {
    auto machine = runWith("COFFEE_LIST_STEPS=1");
    EXPECT_TRUE(actionEnds(*machine)) << machine->transcript();
    EXPECT_EQ(folderState(), describe(GetParam().settled.back()));
    static const std::regex listed(R"(\[step ([^\]]*)\])");
    std::vector<std::string> steps;
    const std::string& seen = machine->transcript();
    for (auto it = std::sregex_iterator(seen.begin(), seen.end(), listed); it != std::sregex_iterator();
         ++it) {
      if (!(*it)[1].str().starts_with("look ")) steps.push_back((*it)[1].str());
    }
    return steps;
  }

  // Damages an entry that was written but not yet synced; where the
  // journal promises a water level, edits that level by hand instead.
  Tampering tamper(const std::string& cut, const std::string& previousStep) {
    std::string journal = readFile(".coffee_machine.lock");
    const std::size_t digit = journal.find_last_of("0123456789");
    if (doing(cut) == "sync .coffee_machine.lock" && doing(previousStep) == "write .coffee_machine.lock" &&
        digit != std::string::npos) {
      journal[digit] = journal[digit] == '0' ? '1' : static_cast<char>(journal[digit] - 1);
      writeFile(".coffee_machine.lock", journal);
      return {.damagedEntry = true};
    }
    if (journal.find("write waterSensor.txt") != std::string::npos) {
      writeFile("waterSensor.txt", "4321");
      return {.handEdit = true};
    }
    return {};
  }

  // Starts the program again, a minute before the booking is due, and checks
  // what it made of the files the killed one left: one of the states the
  // sequence may settle in (at least `atLeast`), with a hand edit kept; a
  // booking left in its file must then fire, once, in a start at its
  // minute. Returns the state's index.
  std::size_t checkSettled(const std::string& cut, std::size_t atLeast, Tampering tampered = {}) {
    const CutScenario& scenario = GetParam();
    std::string found;
    {
      auto next = startAt("2026-12-24 18:29:00");
      EXPECT_TRUE(next->waitForClockLine()) << cut;
      found = folderState();
      const std::string journal = readFile(".coffee_machine.lock");
      EXPECT_TRUE(journal == "" || journal == "<missing>") << cut << ": the journal was not finished:\n"
                                                           << journal;
      EXPECT_EQ(temporaryFiles(next->pid()), std::vector<std::string>{}) << cut;
    }
    std::size_t reached = 0;
    for (; reached < scenario.settled.size(); ++reached) {
      FolderState allowed = scenario.settled[reached];
      if (tampered.handEdit) allowed.water = 4321;
      if (describe(allowed) == found) break;
    }
    EXPECT_LT(reached, scenario.settled.size())
        << cut << (tampered.handEdit ? " (water edited by hand to 4321)" : "")
        << (tampered.damagedEntry ? " (the journal's last entry damaged)" : "") << ": the files hold "
        << found;
    EXPECT_GE(reached, atLeast) << cut << ": the sequence's outcome was shown, but the files hold " << found;
    if (reached >= scenario.settled.size() || tampered.handEdit || !scenario.typed.empty() ||
        reached + 1 == scenario.settled.size()) {
      return reached;
    }
    const std::string whole = describe(scenario.settled.back());
    auto due = startAt("2026-12-24 18:30:00");
    for (int wait = 0; wait < 1000 && folderState() != whole; ++wait) due->drain(10ms);
    EXPECT_EQ(folderState(), whole) << cut << ": the booking left in its file did not fire, or fired twice";
    EXPECT_TRUE(due->waitFor(scenario.lastScreen)) << cut;
    return reached;
  }

  // A failing step's line, or the end of the action without one: its last
  // screen, or standby for an action that has none.
  const std::regex failedOrDone_{
      std::string(R"(\[failing step |)") +
      (*GetParam().lastScreen != '\0'
           ? std::regex_replace(GetParam().lastScreen, std::regex(R"([.!()])"), R"(\$&)")
           : R"(\d{4}-\d{1,2}-\d{1,2}  \d{1,2} : \d{1,2} : \d{1,2}\r?\n)")};

  void report(const char* what, const std::vector<int>& reached, const std::string& more) {
    std::string states;
    for (const int n : reached) states += (states.empty() ? "" : " / ") + std::to_string(n);
    std::printf("%s: %s; settled in the states before ... after: %s%s\n", GetParam().name, what,
                states.c_str(), more.c_str());
  }
};

TEST_P(WriteSteps, KilledAtEachEveryEffectLandsWholeAndOnce) {
  const CutScenario& scenario = GetParam();
  const std::size_t whole = scenario.settled.size() - 1;
  std::vector<std::string> steps = listSteps();  // a kill before a read leaves what the write before it left
  std::erase_if(steps, reads);
  ASSERT_GT(steps.size(), 5u) << "does the program run on the test disk?";
  std::vector<int> reached(scenario.settled.size());  // how many kills settled in each state
  int tampered = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string cut = "[killed before step " + steps[i] + "]";
    auto machine = runWith("COFFEE_KILL_AT_STEP=" + steps[i]);
    if (HasFailure()) return;
    ASSERT_EQ(machine->waitExit(), 128 + SIGKILL) << cut << ":\n" << machine->transcript();
    ASSERT_EQ(stepIn(machine->transcript()), steps[i]) << machine->transcript();
    // Once the user has been shown the outcome, it stands whole.
    const bool outcomeShown =
        *scenario.lastScreen != '\0' && machine->transcript().find(scenario.lastScreen) != std::string::npos;
    const Tampering tampering = tamper(steps[i], i == 0 ? "" : steps[i - 1]);
    tampered += tampering.damagedEntry || tampering.handEdit;
    ++reached[checkSettled(cut, outcomeShown ? whole : 0, tampering)];
    if (HasFailure()) return;
  }
  for (std::size_t i = 0; i < steps.size(); ++i) {
    // A new lock file lasts, as a rename does, once its folder is synced.
    if (steps[i].starts_with("create .coffee_machine.lock")) {
      EXPECT_TRUE(i + 1 < steps.size() && doing(steps[i + 1]) == "sync .")
          << steps[i] << " is not followed by a sync of the folder";
    }
    if (!steps[i].starts_with("rename ")) continue;
    // The new bytes are on the disk before they take the file's name...
    const std::string temp = doing(steps[i]).substr(7) + ".";
    std::size_t created = i;
    while (created > 0 && !steps[created].starts_with("create " + temp)) --created;
    const auto synced = std::find_if(steps.begin() + static_cast<std::ptrdiff_t>(created),
                                     steps.begin() + static_cast<std::ptrdiff_t>(i),
                                     [&](const std::string& s) { return s.starts_with("sync " + temp); });
    EXPECT_TRUE(synced != steps.begin() + static_cast<std::ptrdiff_t>(i))
        << steps[i] << " renames a file that was never synced";
    // ...and the rename is made durable by a sync of the folder before the
    // journal lets go of the change, or before the sequence ends.
    std::size_t next = i + 1;
    while (next < steps.size() && doing(steps[next]) != "sync ." &&
           steps[next].find(".coffee_machine.lock") == std::string::npos)
      ++next;
    EXPECT_TRUE(next < steps.size() && doing(steps[next]) == "sync .")
        << steps[i] << " is not followed by a sync of the folder";
  }
  // A booking made again with the same numbers is a new one: the finished
  // sequence's consumption must not take it.
  if (scenario.typed.empty()) {
    writeFile("reserveData.txt", scenario.before.bookings);
    writeFile("cleanReserveData.txt", scenario.before.cleanings);
    auto again = startAt("2026-12-24 18:29:00");
    ASSERT_TRUE(again->waitForClockLine());
    EXPECT_EQ(readFile("reserveData.txt") + readFile("cleanReserveData.txt"),
              std::string(scenario.before.bookings) + scenario.before.cleanings)
        << "a booking made again was taken for the one the sequence consumed";
  }
  report(("cut before each of its " + std::to_string(steps.size()) + " write steps").c_str(), reached,
         ", " + std::to_string(tampered) + " of them tampered with");
}

// Each step in turn fails while the program goes on: a write with EIO or
// ENOSPC (a failing or a full disk), a read with EIO or EACCES (a failing
// disk, a file the household made unreadable). The failure is said (never
// followed by a success screen), no temporary file stays, a booking whose
// sequence could not be done is not fired again by that program, and the
// next start finishes what was committed. A folder that cannot be synced
// (EINVAL) fails nothing: it is synced whole.
TEST_P(WriteSteps, FailingAtEachIsSaidAndLeavesAWholeState) {
  const CutScenario& scenario = GetParam();
  const std::vector<std::string> steps = listSteps();
  ASSERT_GT(steps.size(), 3u) << "does the program run on the test disk?";
  std::vector<int> reached(scenario.settled.size());
  int folderSyncs = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    // Every other step: a full disk, or a read refused by the file's permissions.
    static const std::pair<const char*, const char*> kFaults[2][2] = {
        {{"EIO", "Input/output error"}, {"ENOSPC", "No space left on device"}},
        {{"EIO", "Input/output error"}, {"EACCES", "Permission denied"}}};
    const bool reading = reads(steps[i]);
    const auto [error, reason] = kFaults[reading][i % 2];
    const std::string fault = "COFFEE_FAIL_AT_STEP=" + steps[i] + ":" + error;
    const std::string failed = "[failing step " + steps[i] + "]";
    auto machine = runWith(fault);
    if (HasFailure()) return;
    ASSERT_TRUE(machine->waitForMatch(failedOrDone_)) << fault << "\n" << machine->transcript();
    ASSERT_TRUE(machine->waitForClockLine()) << fault << "\n" << machine->transcript();
    const std::string& seen = machine->transcript();
    const std::size_t failedAt = seen.find("[failing step ");
    ASSERT_NE(failedAt, std::string::npos) << failed << ": never made\n" << seen;
    EXPECT_TRUE(seen.find(reading ? "cannot read " : "cannot write ", failedAt) != std::string::npos &&
                seen.find(std::string(": ") + reason + "\r\n", failedAt) != std::string::npos)
        << failed << ": not said\n"
        << seen;
    if (*scenario.lastScreen != '\0') {
      EXPECT_EQ(seen.find(scenario.lastScreen, failedAt), std::string::npos) << failed << ": shown as done";
    }
    EXPECT_EQ(temporaryFiles(), std::vector<std::string>{}) << failed;
    if (scenario.typed.empty()) {
      const std::size_t standby = seen.size();
      for (int pass = 0; pass < 3; ++pass) ASSERT_TRUE(machine->waitForClockLine()) << failed;
      const std::string later = machine->transcript().substr(standby);
      EXPECT_EQ(later.find("********"), std::string::npos) << failed << ": fired again\n" << later;
      EXPECT_EQ(later.find("\xA1\xE1\xA1\xE1"), std::string::npos) << failed << ": fired again\n" << later;
    }
    machine->kill();
    ++reached[checkSettled(failed, 0)];
    if (HasFailure()) return;
    if (doing(steps[i]) != "sync .") continue;
    ++folderSyncs;
    auto synced = runWith("COFFEE_FAIL_AT_STEP=" + steps[i] + ":EINVAL");
    EXPECT_TRUE(actionEnds(*synced)) << failed << " with EINVAL";
    EXPECT_EQ(synced->transcript().find("cannot write "), std::string::npos) << failed << " with EINVAL";
    EXPECT_EQ(folderState(), describe(scenario.settled.back())) << failed << " with EINVAL";
  }
  const auto readSteps = std::count_if(steps.begin(), steps.end(), reads);
  report(("failed at each of its " + std::to_string(steps.size() - readSteps) + " write and " +
          std::to_string(readSteps) + " read steps")
             .c_str(),
         reached, ", " + std::to_string(folderSyncs) + " folder syncs also failed with EINVAL");
}

INSTANTIATE_TEST_SUITE_P(Sequences, WriteSteps, ::testing::ValuesIn(kSequences),
                         [](const ::testing::TestParamInfo<CutScenario>& scenario) {
                           return std::string(scenario.param.name);
                         });

}  // namespace
}  // namespace cm::e2e
