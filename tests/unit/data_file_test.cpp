#include "machine/data_file.h"

#include <unistd.h>

#include <climits>

#include "support/faulty_disk.h"
#include "machine/number_text.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

using test::MachineTest;
using Status = ScannedInt::Status;

class DataFileTest : public MachineTest {};

TEST_F(DataFileTest, RewriteReplacesContentAndLeavesNoTemporaryFile) {
  writeFile("levels.txt", "a much longer old content than the new one");
  ASSERT_EQ(rewriteFile("levels.txt", "42"), std::nullopt);
  EXPECT_EQ(readFile("levels.txt"), "42");
  EXPECT_EQ(folderContents(), std::vector<std::string>{"levels.txt"});

  ASSERT_EQ(rewriteFile("new.txt", ""), std::nullopt);
  EXPECT_EQ(readFile("new.txt"), "");
}

// Whatever waits under the temporary name (a link planted there, a file left
// behind) is replaced, never written through.
TEST_F(DataFileTest, RewriteNeverFollowsALinkAtItsTemporaryName) {
  writeFile("victim.txt", "keep");
  const std::string temp = "levels.txt." + std::to_string(getpid()) + ".tmp";
  ASSERT_EQ(::symlink("victim.txt", (folder_ / temp).c_str()), 0);
  ASSERT_EQ(rewriteFile("levels.txt", "42"), std::nullopt);
  EXPECT_EQ(readFile("levels.txt"), "42");
  EXPECT_EQ(readFile("victim.txt"), "keep");
  EXPECT_EQ(folderContents(), (std::vector<std::string>{"levels.txt", "victim.txt"}));
}

TEST_F(DataFileTest, RewriteIntoMissingFolderFailsWithoutLeftovers) {
  const WriteResult failed = rewriteFile("no-such-folder/levels.txt", "1");
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->describe(), "no-such-folder/levels.txt: No such file or directory");
  EXPECT_TRUE(folderContents().empty());
}

// A folder that cannot be synced (EINVAL) is made durable by syncing its
// whole file system; only when that fails too is the rewrite a failure.
TEST_F(DataFileTest, AFolderThatCannotBeSyncedIsSyncedWhole) {
  // The steps: create, write, sync and close the temporary file, rename it, sync the folder.
  test::planFailingSteps("6:EINVAL");
  EXPECT_EQ(rewriteFile("levels.txt", "42"), std::nullopt);
  test::planFailingSteps("6:EINVAL,7:EIO");
  const WriteResult failed = rewriteFile("levels.txt", "43");
  test::planFailingSteps("");
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->describe(), "levels.txt: Input/output error");
  EXPECT_EQ(folderContents(), std::vector<std::string>{"levels.txt"});
}

TEST(NumberTextTest, ScanIntReadsLikePercentD) {
  std::size_t pos = 0;
  const std::string text = "  250\n-7 +3 x";
  EXPECT_EQ(scanInt(text, pos).value, 250);
  EXPECT_EQ(scanInt(text, pos).value, -7);
  EXPECT_EQ(scanInt(text, pos).value, 3);
  const std::size_t before = pos;
  EXPECT_EQ(scanInt(text, pos).status, Status::noNumber);
  EXPECT_EQ(pos, before);

  pos = 0;
  EXPECT_EQ(scanInt("-", pos).status, Status::noNumber);
  pos = 0;
  EXPECT_EQ(scanInt("", pos).status, Status::noNumber);
}

TEST(NumberTextTest, ScanIntSaturatesOutOfRangeNumbers) {
  std::size_t pos = 0;
  const ScannedInt big = scanInt("99999999999999999999999 5", pos);
  EXPECT_EQ(big.status, Status::outOfRange);
  EXPECT_EQ(big.value, INT_MAX);
  EXPECT_EQ(scanInt("99999999999999999999999 5", pos).value, 5);  // the whole number was consumed

  pos = 0;
  const ScannedInt small = scanInt("-2147483649", pos);
  EXPECT_EQ(small.status, Status::outOfRange);
  EXPECT_EQ(small.value, INT_MIN);
  pos = 0;
  EXPECT_EQ(scanInt("-2147483648", pos).status, Status::ok);
}

TEST(NumberTextTest, WholeNumberAnswers) {
  EXPECT_EQ(parseWholeNumber("200"), 200);
  EXPECT_EQ(parseWholeNumber("  -5 \r"), -5);
  EXPECT_EQ(parseWholeNumber("+12241830"), 12241830);
  EXPECT_EQ(parseWholeNumber("2147483647"), INT_MAX);
  EXPECT_EQ(parseWholeNumber("-2147483648"), INT_MIN);
  for (const char* bad :
       {"", "   ", "abc", "1x", "1 2", "99999999999", "2147483648", "+", "-", "+-1", "0x10"}) {
    EXPECT_FALSE(parseWholeNumber(bad).has_value()) << '"' << bad << '"';
  }
}

TEST(NumberTextTest, LevelArithmeticSticksAtTheIntRange) {
  EXPECT_EQ(saturatingSub(INT_MIN + 50, 100), INT_MIN);
  EXPECT_EQ(saturatingAdd(INT_MAX - 1, 10), INT_MAX);
  EXPECT_EQ(saturatingSub(150, 300), -150);
}

}  // namespace
}  // namespace cm
