// The change of the machine's files: a change whose entry did not reach the
// disk never lands, and a consumed booking leaves once.
#include "store/journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "machine/material_store.h"
#include "schedule/brew_schedule.h"
#include "support/faulty_disk.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

class JournalTest : public test::MachineTest {};

// A charge whose journal entry could not be synced was said to have failed:
// it must not land later either, through the next change's recovery.
TEST_F(JournalTest, AChargeWhoseJournalEntryFailedNeverLandsLater) {
  setLevels(1000, 10, 100);
  writeFile(kLockFile, "");
  test::planFailingSteps("sync .coffee_machine.lock#1:EIO");
  EXPECT_FALSE(chargeLevels([](Levels levels) {
    return Levels{levels.water - 200, levels.powder - 10, 100};
  }));
  test::planFailingSteps("");
  ASSERT_TRUE(renewBean(90));
  EXPECT_EQ(readFile(kWaterFile) + readFile(kPowderFile) + readFile(kBeanFile), "10001090");
  EXPECT_EQ(readFile(kLockFile), "");
}

// A change stopped between its two renames, whose second file cannot be
// read at the next opening: that file is not taken for one changed by hand,
// the journal stays and the failure is said; once the file can be read, the
// next opening finishes the change, from an entry far longer than one read
// of the journal.
// Whatever else the lock file holds costs no memory.
TEST_F(JournalTest, AFileThatCannotBeReadKeepsTheJournalUntilItCan) {
  writeFile(kWaterFile, "1000");
  writeFile(kReserveFile, "12241830\n200\n0\n");
  const std::string longBookings = "12241830\n200\n0\n" + std::string(1536 * 1024, '#');
  test::planFailingSteps("rename reserveData.txt#1:EIO");
  EXPECT_FALSE(changeFiles({kWaterFile, kReserveFile}, [&](std::span<FileChange> files) {
    files[0].after = "800";
    files[1].after = longBookings;
    return FileResult();
  }));
  const std::string journal = readFile(kLockFile);
  ASSERT_EQ(readFile(kWaterFile), "800");
  test::planFailingSteps("read .coffee_machine.lock#2:EIO");  // the rest of the long entry
  ASSERT_FALSE(renewBean(90));
  EXPECT_EQ(lastFileFailure->said(), "cannot read .coffee_machine.lock: Input/output error");
  EXPECT_EQ(readFile(kLockFile), journal) << "an entry whose body could not be read was cut off";
  test::planFailingSteps("read reserveData.txt#1:EACCES");
  ASSERT_FALSE(renewBean(90));
  EXPECT_EQ(lastFileFailure->said(), "cannot read reserveData.txt: Permission denied");
  EXPECT_EQ(readFile(kLockFile), journal);
  EXPECT_FALSE(exists(kBeanFile));
  test::planFailingSteps("");
  ASSERT_TRUE(renewBean(90));
  EXPECT_TRUE(readFile(kReserveFile) == longBookings) << "the long entry was not read whole";
  EXPECT_EQ(readFile(kLockFile) + readFile(kBeanFile), "90");

  // A lock file someone else filled is read no further than its first line.
  std::filesystem::resize_file(folder_ / kLockFile, std::uintmax_t{1} << 30);
  test::planFailingSteps("read .coffee_machine.lock#2:EIO");
  EXPECT_TRUE(renewBean(80));
  EXPECT_EQ(readFile(kLockFile), "");
}

// A booking consumed by a sequence leaves its file at the sequence's end,
// or, when the sequence's program died, at the next change made once its
// claim is free; never while another program holds the claim, whose
// sequence it may be. It leaves by its whole record, once, and the claim
// taken to finish it is let go. A torn entry after it counts for nothing.
TEST_F(JournalTest, AConsumedBookingLeavesOnceItsSequenceIsGone) {
  const std::string bookings = "12241830\n100\n1\n12241830\n200\n0\n12241830\n200\n0\n";
  writeFile(kReserveFile, bookings);
  {
    Sequence sequence(Wait::no);
    ASSERT_TRUE(sequence.ready());
    sequence.fires(kReserveFile, {12241830, 200, 0});
    ASSERT_TRUE(settleBooking());
  }  // ends without finish(), as when its program is killed
  const std::string journal = readFile(kLockFile);
  ASSERT_NE(journal.find("consume reserveData.txt 12241830 200 0\n"), std::string::npos);
  writeFile(kLockFile, journal + "entry 99 00ff\nwrite water");

  // The claim, on the folder, as another program holds it.
  const int otherProgram = ::open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(otherProgram, LOCK_EX | LOCK_NB), 0);
  const auto descriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const auto open = descriptors();
  ASSERT_TRUE(renewWater(900));
  EXPECT_TRUE(Sequence(Wait::no).busy());
  EXPECT_EQ(descriptors(), open) << "a claim found busy kept its descriptor open";
  EXPECT_EQ(readFile(kReserveFile), bookings);
  EXPECT_EQ(readFile(kLockFile), journal);
  ::close(otherProgram);

  ASSERT_TRUE(renewWater(800));
  EXPECT_EQ(readFile(kReserveFile), "12241830\n100\n1\n12241830\n200\n0\n");
  EXPECT_EQ(readFile(kLockFile), "");
  EXPECT_EQ(readFile(kWaterFile), "800");
  const int nextProgram = ::open(".", O_RDONLY | O_DIRECTORY);
  EXPECT_EQ(::flock(nextProgram, LOCK_EX | LOCK_NB), 0) << "the claim taken to finish it is still held";
  ::close(nextProgram);

  // Taken out by hand during its sequence, another half typed: the file is
  // not understood and stays as it is, the booking pending until it is.
  writeFile(kReserveFile, "12241830\n100\n1\n1225");
  {
    Sequence sequence(Wait::no);
    EXPECT_DEBUG_DEATH(Sequence{Wait::no}, "one Sequence at a time");
    sequence.fires(kReserveFile, {12241830, 200, 0});
    ASSERT_TRUE(settleBooking());
    EXPECT_FALSE(sequence.finish());
    EXPECT_EQ(lastFileFailure->said(), "cannot read reserveData.txt: line 4: a time that names no minute");
    EXPECT_EQ(readFile(kReserveFile), "12241830\n100\n1\n1225");
  }
  writeFile(kReserveFile, "12241830\n100\n1\n12250700\n100\n0\n");
  ASSERT_TRUE(renewWater(700));
  EXPECT_EQ(readFile(kReserveFile), "12241830\n100\n1\n12250700\n100\n0\n")
      << "rewritten without the booking it never held";
  EXPECT_EQ(readFile(kLockFile), "");
}

}  // namespace
}  // namespace cm
