#include "machine/data_file.h"

#include <unistd.h>

#include "support/faulty_disk.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

using test::MachineTest;

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
  const FileResult failed = rewriteFile("no-such-folder/levels.txt", "1");
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
  const FileResult failed = rewriteFile("levels.txt", "43");
  test::planFailingSteps("");
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->describe(), "levels.txt: Input/output error");
  EXPECT_EQ(folderContents(), std::vector<std::string>{"levels.txt"});
}

}  // namespace
}  // namespace cm
