// The machine as the README installs it: the Debian package (unpacked into
// a root of its own by the PackageBuildsCleanly test) and the install under
// ~/.local, each followed by the README's own commands that seed a folder
// and start the program, taken from the README's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "e2e/pty_session.h"
#include "support/file_bytes.h"

namespace cm::e2e {
namespace {

const std::filesystem::path kRoot = COFFEE_PACKAGE_ROOT;

// The indented command lines after "<!-- route: NAME -->" in the README.
std::string readmeRoute(const std::string& name) {
  std::istringstream readme(test::readBytes(COFFEE_README));
  std::string line;
  while (std::getline(readme, line) && line != "<!-- route: " + name + " -->") {
  }
  std::string commands;
  while (std::getline(readme, line) && (line.empty() || line.rfind("    ", 0) == 0)) {
    if (!line.empty())
      commands += line.substr(4) + "\n";
    else if (!commands.empty())
      break;
  }
  return commands;
}

// Runs the commands in a shell in a pseudo-terminal, from a clone whose
// build/release is this build, as a user of a fresh home folder; the last
// of them starts the machine, which must show its menu on the default data
// files and power off.
void runAsWritten(const std::string& commands, const std::string& pathPrefix,
                  const std::filesystem::path& clone, const std::filesystem::path& home) {
  std::filesystem::create_directory(clone / "build");
  std::filesystem::create_directory_symlink(COFFEE_RELEASE_BUILD, clone / "build/release");
  SessionOptions options;
  options.program = "/bin/bash";
  options.arguments = {"-ec", commands};
  options.folder = clone;
  options.fakeClock = false;
  options.pathPrefix = pathPrefix;
  options.environment = {"HOME=" + home.string()};
  PtySession machine(options);
  ASSERT_TRUE(machine.waitForClockLine(60s)) << commands << machine.transcript();
  machine.type("q");
  EXPECT_TRUE(machine.waitFor("water  : 1000\tmL,  powder : 10 g,  bean : 100 g\r\n"));
  EXPECT_TRUE(machine.waitFor("0)Power"));
  machine.type("0\n");
  EXPECT_EQ(machine.waitExit(), 0);
  for (const char* file :
       {"waterSensor.txt", "powderSensor.txt", "beanSensor.txt", "reserveData.txt", "cleanReserveData.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(home / "coffee" / file)) << file;
  }
}

void startsAsWritten(const std::string& commands, const std::string& pathPrefix = "") {
  const std::filesystem::path clone = makeTempFolder("coffee-clone");
  const std::filesystem::path home = makeTempFolder("coffee-home");
  runAsWritten(commands, pathPrefix, clone, home);
  std::filesystem::remove_all(clone);
  std::filesystem::remove_all(home);
}

TEST(PackageTest, TheUnpackedPackageHoldsItsFilesAndNoTestSwitch) {
  for (const char* path :
       {"usr/bin/coffee_machine", "usr/bin/coffee_machine_basic", "usr/share/man/man1/coffee_machine.1.gz",
        "usr/share/man/man1/coffee_machine_basic.1.gz", "usr/share/doc/coffee-machine/copyright",
        "usr/share/doc/coffee-machine/changelog.gz", "usr/share/coffee_machine/reserveData.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(kRoot / path)) << path;
  }
  // The switches that kill a program or fail its writes belong to the test disk only.
  for (const char* program : {"usr/bin/coffee_machine", "usr/bin/coffee_machine_basic"}) {
    const std::string bytes = test::readBytes(kRoot / program);
    EXPECT_GT(bytes.size(), 10000u) << program;
    EXPECT_EQ(bytes.find("COFFEE_KILL_AT_STEP"), std::string::npos) << program;
    EXPECT_EQ(bytes.find("COFFEE_FAIL_AT_STEP"), std::string::npos) << program;
  }
}

TEST(ReadmeRoutes, ThePackageThenTheReadmesStart) {
  const std::string package = readmeRoute("package");
  const std::string named = package.substr(package.find("coffee-machine_"));
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(COFFEE_RELEASE_BUILD) / "package" /
                                      named.substr(0, named.find('\n'))))
      << "the README installs a package that the build does not make:\n"
      << package;
  startsAsWritten(readmeRoute("start"), (kRoot / "usr/bin").string());
}

TEST(ReadmeRoutes, TheLocalInstallThenTheReadmesStart) {
  startsAsWritten(readmeRoute("local") + readmeRoute("start"));
}

}  // namespace
}  // namespace cm::e2e
