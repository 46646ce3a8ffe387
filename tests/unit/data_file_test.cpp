#include "store/data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "support/faulty_disk.h"
#include "support/folder_fixture.h"

namespace cm {
namespace {


class DataFileTest : public test::FolderTest {};

// A file replaced keeps its permission bits (one the household made
// group-writable stays so); a new one is made as the umask lets it be.
TEST_F(DataFileTest, RewriteReplacesContentAndLeavesNoTemporaryFile) {
  writeFile("levels.txt", "a much longer old content than the new one");
  std::filesystem::permissions(folder_ / "levels.txt", std::filesystem::perms{0660});
  ASSERT_EQ(rewriteFile("levels.txt", "42"), std::nullopt);
  EXPECT_EQ(readFile("levels.txt"), "42");
  EXPECT_EQ(std::filesystem::status(folder_ / "levels.txt").permissions(), std::filesystem::perms{0660});
  EXPECT_EQ(folderContents(), std::vector<std::string>{"levels.txt"});

  const mode_t umask = ::umask(022);
  ASSERT_EQ(rewriteFile("new.txt", ""), std::nullopt);
  ::umask(umask);
  EXPECT_EQ(readFile("new.txt"), "");
  EXPECT_EQ(std::filesystem::status(folder_ / "new.txt").permissions(), std::filesystem::perms{0644});
}

// Whatever waits under the temporary name (a link planted there, a file left
// behind) is replaced, never written through.
TEST_F(DataFileTest, RewriteNeverFollowsALinkAtItsTemporaryName) {
  writeFile("victim.txt", "keep");
  writeFile("levels.txt", "1");
  std::filesystem::permissions(folder_ / "levels.txt", std::filesystem::perms{0660});
  const std::string temp = "levels.txt." + std::to_string(getpid()) + ".tmp";
  ASSERT_EQ(::symlink("victim.txt", (folder_ / temp).c_str()), 0);
  ASSERT_EQ(rewriteFile("levels.txt", "42"), std::nullopt);
  EXPECT_EQ(readFile("levels.txt"), "42");
  EXPECT_EQ(std::filesystem::status(folder_ / "levels.txt").permissions(), std::filesystem::perms{0660})
      << "the temporary file made again lost the permission bits";
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
  test::planFailingSteps("sync .#1:EINVAL");
  EXPECT_EQ(rewriteFile("levels.txt", "42"), std::nullopt);
  test::planFailingSteps("sync .#1:EINVAL,syncfs .#1:EIO");
  const FileResult failed = rewriteFile("levels.txt", "43");
  test::planFailingSteps("");
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->describe(), "levels.txt: Input/output error");
  EXPECT_EQ(folderContents(), std::vector<std::string>{"levels.txt"});
}

}  // namespace
}  // namespace cm
