// The Debian package as a user gets it: unpacked into a root of its own
// (by the PackageBuildsCleanly test), its programs and files in their places,
// and the program running on the default data files unpacked with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e/pty_session.h"

namespace cm::e2e {
namespace {

const std::filesystem::path kRoot = COFFEE_PACKAGE_ROOT;

TEST(PackageTest, TheUnpackedProgramRunsOnTheUnpackedDefaultData) {
  for (const char* path :
       {"usr/bin/coffee_machine", "usr/bin/coffee_machine_basic", "usr/share/man/man1/coffee_machine.1.gz",
        "usr/share/man/man1/coffee_machine_basic.1.gz", "usr/share/doc/coffee-machine/copyright",
        "usr/share/doc/coffee-machine/changelog.gz"}) {
    EXPECT_TRUE(std::filesystem::exists(kRoot / path)) << path;
  }
  // The switches that kill a program or fail its writes are for test builds only.
  for (const char* program : {"usr/bin/coffee_machine", "usr/bin/coffee_machine_basic"}) {
    std::ifstream in(kRoot / program, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(bytes.size(), 10000u) << program;
    EXPECT_EQ(bytes.find("COFFEE_KILL_AT_STEP"), std::string::npos) << program;
    EXPECT_EQ(bytes.find("COFFEE_FAIL_AT_STEP"), std::string::npos) << program;
  }
  const std::filesystem::path folder = makeTempFolder("coffee-package");
  for (const auto& entry : std::filesystem::directory_iterator(kRoot / "usr/share/coffee_machine")) {
    std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
  }
  SessionOptions options;
  options.program = (kRoot / "usr/bin/coffee_machine").string();
  options.folder = folder;
  PtySession machine(options);
  ASSERT_TRUE(machine.waitForClockLine());
  machine.type("q");
  EXPECT_TRUE(machine.waitFor("water  : 1000\tmL,  powder : 10 g,  bean : 100 g\r\n"));
  EXPECT_TRUE(machine.waitFor("0)Power"));
  machine.type("0\n");
  EXPECT_EQ(machine.waitExit(), 0);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace cm::e2e
