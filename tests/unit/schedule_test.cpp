#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal.h"
#include "support/fake_platform.h"
#include "support/faulty_disk.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

class ScheduleTest : public test::MachineTest {};

std::vector<int> times(const BrewSchedule& s) {
  std::vector<int> out;
  for (const auto& r : s.bookings) out.push_back(r.time);
  return out;
}

TEST_F(ScheduleTest, FirstDueInBookingOrderNotEarliest) {
  addList({12251200, 200, 1}, reserveList);
  addList({12241000, 100, 0}, reserveList);
  EXPECT_EQ(isReserveTime(reserveList, 12251300), 12251200);
  EXPECT_EQ(searchList(reserveList, 12251300), (CoffeeRequest{200, 1}));
  EXPECT_EQ(whatReserve(reserveList, 12251300), (ReserveRecord{12251200, 200, 1}));

  deleteList(whatReserve(reserveList, 12251300), reserveList);
  EXPECT_EQ(isReserveTime(reserveList, 12251300), 12241000);

  // Only the later booking is due before its minute is reached.
  EXPECT_EQ(isReserveTime(reserveList, 12240959), 0);
  EXPECT_EQ(searchList(reserveList, 12240959), (CoffeeRequest{0, 0}));
  EXPECT_EQ(whatReserve(reserveList, 12240959), (ReserveRecord{0, 0, 0}));
}

TEST_F(ScheduleTest, DueExactlyAtItsMinuteAndEqualTimesFireInBookingOrder) {
  addList({12241830, 100, 0}, reserveList);
  addList({12241830, 300, 1}, reserveList);
  EXPECT_EQ(isReserveTime(reserveList, 12241829), 0);
  EXPECT_EQ(searchList(reserveList, 12241830), (CoffeeRequest{100, 0}));
  // A booking leaves by its whole record: its twin with the same minute stays.
  deleteList({12241830, 300, 1}, reserveList);
  EXPECT_EQ(searchList(reserveList, 12241830), (CoffeeRequest{100, 0}));
  addClist(12241830, cleanList);
  EXPECT_EQ(isCleanTime(cleanList, 12241829), 0);
  EXPECT_EQ(isCleanTime(cleanList, 12241830), 12241830);
}

// A booking is for the next time its minute comes: due once that minute came
// within the last half year, waiting while it is to come within the next.
TEST_F(ScheduleTest, ABookingIsForTheNextTimeItsMinuteComes) {
  struct Row {
    int time;
    int now;
    bool due;
  };
  const Row rows[] = {
      {1010001, 12312359, false}, {1010001, 1010001, true},   // New Year's morning, from New Year's Eve
      {1021200, 12281200, false}, {1010800, 12311200, false},  //
      {12312350, 1010005, true},                               // missed over the year's turn
      {2291200, 2282359, false},  {2291200, 3010000, true},    // 29 February in a common year: 1 March
      {2291200, 2291159, false},  {2291200, 2291200, true},    // and in a leap year
      {7020000, 1010000, false},  {7020001, 1010000, true},    // half a year ahead waits; a minute more came
      {12241830, 6241831, false}, {12241830, 12241830, true},  //
      {0, 12241830, false},       {-5, 12241830, false},       // times that name no minute
      {13010000, 12241830, false}, {12311260, 12311300, false}, {99999999, 12241830, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(isDue(row.time, row.now), row.due) << row.time << " at " << row.now;
  }
  // A time that is never due hides nothing behind it.
  addList({0, 100, 0}, reserveList);
  addList({-5, 200, 0}, reserveList);
  addList({12240000, 300, 0}, reserveList);
  EXPECT_EQ(isReserveTime(reserveList, 12241830), 12240000);
  addClist(0, cleanList);
  addClist(12240000, cleanList);
  EXPECT_EQ(isCleanTime(cleanList, 12241830), 12240000);
}

TEST_F(ScheduleTest, DeletingAnAbsentTimeChangesNothing) {
  addList({12241830, 100, 0}, reserveList);
  deleteList({12250000, 0, 0}, reserveList);
  EXPECT_EQ(times(reserveList), std::vector<int>{12241830});
  addClist(5, cleanList);
  deleteClist(6, cleanList);
  EXPECT_EQ(cleanList.times, std::vector<int>{5});
}

TEST_F(ScheduleTest, BrewFileIsThreeLinesPerBookingAndLoadsBackInOrder) {
  pushReserveData(12241830, 200, 1);
  pushReserveData(12250700, 100, 0);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n200\n1\n12250700\n100\n0\n");

  initList(reserveList);
  popReserveFile(reserveList);
  EXPECT_EQ(reserveList.bookings, (std::vector<ReserveRecord>{{12241830, 200, 1}, {12250700, 100, 0}}));

  // Firing the only booking leaves the file present and empty.
  deleteList({12241830, 200, 1}, reserveList);
  deleteList({12250700, 100, 0}, reserveList);
  EXPECT_TRUE(pushReserveFile(reserveList));
  EXPECT_EQ(readFile(kReserveFile), "");

  // No booking is made on a file that is not whole bookings: nothing in it
  // is dropped.
  writeFile(kReserveFile, "12241830\n200\n1\n12250700\n100\n");
  EXPECT_FALSE(pushReserveData(12260800, 300, 0));
  EXPECT_EQ(lastFileFailure->said(), "cannot read reserveData.txt: line 4: a booking that is not complete");
  EXPECT_EQ(readFile(kReserveFile), "12241830\n200\n1\n12250700\n100\n");

  std::string many;  // 1.2 MB
  for (int i = 0; i < 80000; ++i) many += "12241830\n200\n1\n";
  writeFile(kReserveFile, many);
  pushReserveData(12260800, 300, 0);
  EXPECT_TRUE(readFile(kReserveFile) == many + "12260800\n300\n0\n") << "bookings lost past 1 MiB";
}

// A hand edit that keeps the size and puts the modification time back is
// still seen: the change time cannot be put back.
TEST_F(ScheduleTest, AScheduleFollowsItsFileThroughAnyEdit) {
  writeFile(kReserveFile, "12241830\n200\n1\n");
  popReserveFile(reserveList);
  struct stat before {};
  ASSERT_EQ(::stat(kReserveFile, &before), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  writeFile(kReserveFile, "12241830\n300\n1\n");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, kReserveFile, times, 0), 0);
  followReserveFile(reserveList);
  EXPECT_EQ(reserveList.bookings, (std::vector<ReserveRecord>{{12241830, 300, 1}}));

  initList(reserveList);  // a look that fails shows nothing; the next one reads
  test::planFailingSteps("look reserveData.txt#1:EIO");
  followReserveFile(reserveList);
  EXPECT_TRUE(reserveList.bookings.empty());
  followReserveFile(reserveList);
  EXPECT_EQ(reserveList.bookings.size(), 1u) << "a failed read was taken for the file as it is";
}

// A file is understood whole or not at all: one that is not whole bookings
// loads as an empty schedule and says where it went wrong.
TEST_F(ScheduleTest, DamagedBrewFilesLoadNothingAndSayWhere) {
  popReserveFile(reserveList);  // missing file
  EXPECT_TRUE(reserveList.bookings.empty());
  EXPECT_FALSE(exists(kReserveFile));

  struct Case {
    const char* content;
    std::vector<int> expected;
    const char* fault;
  };
  const Case cases[] = {
      {"", {}, ""},
      {"  12241830 200\t1   12250700\n100\n0", {12241830, 12250700}, ""},  // any white space, no final newline
      {"12241830\r\n200\r\n1\r\n\r\n", {12241830}, ""},
      {"12241830\n200\n", {}, "line 1: a booking that is not complete"},
      {"12241830\n200\n1\n\n12250700\n", {}, "line 5: a booking that is not complete"},
      {"12241830\n200\n1\nabc\n12250700\n100\n0\n", {}, "line 4: not a whole number"},
      {"12241830\n2x0\n1\n", {}, "line 2: not a whole number"},
      {"99999999999\n200\n1\n", {}, "line 1: a number out of range"},
      {"12241830\n200\n1\n13010000\n200\n1\n", {}, "line 4: a time that names no minute"},
      {"\x01\x02", {}, "line 1: not a whole number"},
  };
  for (const Case& c : cases) {
    writeFile(kReserveFile, c.content);
    addList({1, 1, 1}, reserveList);  // loading replaces what was in memory
    popReserveFile(reserveList);
    EXPECT_EQ(times(reserveList), c.expected) << '"' << c.content << '"';
    EXPECT_EQ(reserveList.textFault ? reserveList.textFault->textFault : "", c.fault) << '"' << c.content << '"';
  }
}

TEST_F(ScheduleTest, CleanFileRoundTripAndDamage) {
  pushCleanData(12241000);
  pushCleanData(12240900);
  pushCleanData(12241000);
  EXPECT_EQ(readFile(kCleanReserveFile), "12241000\n12240900\n12241000\n");
  initClist(cleanList);
  popCleanFile(cleanList);
  EXPECT_EQ(cleanList.times, (std::vector<int>{12241000, 12240900, 12241000}));
  EXPECT_EQ(isCleanTime(cleanList, 12241100), 12241000);
  EXPECT_EQ(whatClean(cleanList, 12241100), 12241000);

  writeFile(kCleanReserveFile, "12241000\n12240900\nseven\n12241100\n");
  popCleanFile(cleanList);
  EXPECT_TRUE(cleanList.times.empty());
  EXPECT_FALSE(pushCleanData(12250900));
  EXPECT_EQ(lastFileFailure->said(), "cannot read cleanReserveData.txt: line 3: not a whole number");
  EXPECT_EQ(readFile(kCleanReserveFile), "12241000\n12240900\nseven\n12241100\n");
  std::filesystem::remove(kCleanReserveFile);
  popCleanFile(cleanList);
  EXPECT_TRUE(cleanList.times.empty());
}

TEST_F(ScheduleTest, ListScreensAndTheirHolds) {
  startCapture();
  printAllList(reserveList);
  printAllClist(cleanList);
  printReserveTime(reserveList);
  printCleanTime(cleanList);
  EXPECT_EQ(finishCapture(),
            "[clear]no reserve..\n[pause 2]"
            "[clear]no reserve..\n[pause 2]"
            "no make reserve..\n"
            "no clean reserve..\n");

  addList({12241830, 200, 1}, reserveList);
  addList({12250700, 100, 0}, reserveList);
  addClist(12250900, cleanList);
  addClist(12251000, cleanList);
  startCapture();
  printAllList(reserveList);
  printAllClist(cleanList);
  printReserveTime(reserveList);
  printCleanTime(cleanList);
  EXPECT_EQ(finishCapture(),
            "[clear]"
            "Number : 1\ntime : 12241830\nconcentrate : 200\ntemperature : 1\n\n"
            "Number : 2\ntime : 12250700\nconcentrate : 100\ntemperature : 0\n\n"
            "[pause 5]"
            "[clear]Number : 1\ntime : 12250900\nNumber : 2\ntime : 12251000\n[pause 5]"
            "time : 12241830\ntime : 12250700\n"
            "time : 12250900\ntime : 12251000\n");
}

}  // namespace
}  // namespace cm
