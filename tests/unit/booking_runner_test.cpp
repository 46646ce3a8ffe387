// The booking runner, which both editions fire due bookings through: a
// fired booking leaves its file whatever the sequence's outcome, and
// leaves after a sequence that ran past midnight too.
#include "control/booking_runner.h"

#include "machine/material_store.h"
#include "machine/registers.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal.h"
#include "support/fake_platform.h"
#include "support/faulty_disk.h"
#include "support/machine_fixture.h"
#include "support/text_count.h"

namespace cm {
namespace {

class BookingRunnerTest : public test::MachineTest {};

TEST_F(BookingRunnerTest, FiredBookingsLeaveWhateverTheOutcome) {
  setLevels(50, 10, 100);  // too little water to brew
  writeFile(kReserveFile, "12241830\n200\n0\n12241831\n100\n0\n");
  startCapture();
  EXPECT_FALSE(fireDueBrew(12241829));
  EXPECT_TRUE(fireDueBrew(12241830));
  EXPECT_NE(finishCapture().find("** no water "), std::string::npos);
  EXPECT_EQ(readFile(kReserveFile), "12241831\n100\n0\n");
  EXPECT_EQ(readFile(kWaterFile), "50");

  // An empty request ends silently, but not a failure to consume its booking.
  writeFile(kReserveFile, "12241830\n0\n1\n");
  test::planFailingSteps("write .coffee_machine.lock#1:EIO");  // the consumption
  startCapture();
  EXPECT_TRUE(fireDueBrew(12241830));
  EXPECT_NE(finishCapture().find("cannot write .coffee_machine.lock: Input/output error"), std::string::npos);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n0\n1\n");

  // Consumed by a program that died right after its charge: it leaves, unbrewed.
  test::planFailingSteps("");
  setLevels(1000, 10, 100);
  writeFile(kReserveFile, "12241830\n200\n0\n");
  writeFile(kLockFile, entryText({{}, {{kReserveFile, {12241830, 200, 0}}}}));
  EXPECT_FALSE(fireDueBrew(12241830));
  EXPECT_EQ(readFile(kReserveFile) + readFile(kLockFile) + readFile(kWaterFile), "1000")
      << "brewed a booking another program consumed";

  // A file that is not whole bookings fires nothing and is never written
  // over; it is said once for each version of it.
  const std::string edited = "12241830\n200\n0\nxx\n12270700\n200\n1\n";
  writeFile(kReserveFile, edited);
  startCapture();
  EXPECT_TRUE(fireDueBrew(12241830));
  EXPECT_FALSE(fireDueBrew(12241830));
  const std::string said = finishCapture();
  EXPECT_EQ(test::count(said, "cannot read reserveData.txt: line 4: not a whole number"), 1u) << said;
  EXPECT_EQ(readFile(kReserveFile) + readFile(kWaterFile), edited + "1000");

  // A booking consumed with its charge by a program of the version before
  // that was killed, its entry as that program wrote it.
  writeFile(kReserveFile, "12241830\n200\n0\n");
  writeFile(kLockFile, "entry 104 52a96b04df67cd24\nwrite waterSensor.txt 4 3\n1000800\n"
                       "write powderSensor.txt 2 1\n100\nconsume reserveData.txt 12241830 200 0\n");
  EXPECT_FALSE(fireDueBrew(12241830));
  EXPECT_EQ(readFile(kWaterFile) + readFile(kPowderFile) + readFile(kReserveFile) + readFile(kLockFile), "8000");
}

TEST_F(BookingRunnerTest, BookingAtNewYearsEveLeavesAfterMidnight) {
  // The brew's screens run past midnight; the booking must still leave.
  fake::setTime(fake::localTime(2026, 12, 31, 23, 59, 50));
  setLevels(1000, 10, 100);
  writeFile(kReserveFile, "12312359\n200\n1\n");
  startCapture();
  EXPECT_TRUE(fireDueBrew(12312359));
  const std::string out = finishCapture();
  EXPECT_NE(out.find("2027-1-1  0 : 0 "), std::string::npos);
  EXPECT_TRUE(reserveList.bookings.empty());
  EXPECT_EQ(readFile(kReserveFile), "");
}

TEST_F(BookingRunnerTest, DueCleaningFiresAndLeaves) {
  setLevels(600, 0, 0);
  isPowderRemain = 1;
  writeFile(kCleanReserveFile, "12241000\n12240900\n12241000\n");
  startCapture();
  EXPECT_TRUE(fireDueCleaning(12241100));
  finishCapture();
  EXPECT_EQ(readFile(kCleanReserveFile), "12240900\n12241000\n")
      << "the twin booked for the same minute left too";
  EXPECT_EQ(readFile(kWaterFile), "100");
  EXPECT_EQ(isPowderRemain, 0);
  std::filesystem::remove(folder_ / kWaterFile);
  std::filesystem::create_directory(folder_ / kWaterFile);  // its water cannot be read: it stays
  startCapture();
  fireDueCleaning(12241100);
  EXPECT_EQ(finishCapture().find("no water"), std::string::npos) << "a water level guessed";
  EXPECT_EQ(readFile(kCleanReserveFile), "12240900\n12241000\n");
}

}  // namespace
}  // namespace cm
