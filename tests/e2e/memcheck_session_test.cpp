// One whole scripted session of each program under valgrind's memcheck: no
// invalid access, no definitely or indirectly lost memory.
#include <fstream>

#include "e2e/e2e_fixture.h"

namespace cm::e2e {
namespace {

class MemcheckSessionTest : public EndToEndTest {
 protected:
  std::unique_ptr<PtySession> startUnderValgrind(const std::string& program) {
    const std::string wrapper = (folder_ / "memcheck.sh").string();
    std::ofstream(wrapper) << "#!/bin/sh\nexec valgrind --quiet --error-exitcode=99 --leak-check=full "
                              "--errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect "
                              "--trace-children=no --log-file=memcheck.log "
                           << program << "\n";
    std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
    SessionOptions options;
    options.program = wrapper;
    options.folder = folder_;
    options.speed = 10;  // valgrind is slow; the clock need not be as fast
    return std::make_unique<PtySession>(options);
  }

  static void choose(PtySession& machine, const std::vector<std::pair<const char*, const char*>>& steps) {
    ASSERT_TRUE(machine.waitForClockLine(60s));
    machine.type("q");
    for (const auto& [prompt, answer] : steps) {
      ASSERT_TRUE(machine.waitFor(prompt, 60s)) << prompt << "\n" << machine.sinceLastMatch();
      machine.type(answer);
    }
  }

  void finish(PtySession& machine) {
    choose(machine, {{"0)Power", "0\n"}});
    const auto status = machine.waitExit(120s);
    const std::string report = readFile("memcheck.log");
    EXPECT_EQ(status, 0) << report;
    EXPECT_EQ(report, "");
  }
};

TEST_F(MemcheckSessionTest, FullEditionSession) {
  auto machine = startUnderValgrind(kFullProgram);
  choose(*machine, {{"0)Power", "1\n"}, {"concentrate : ", "200\n"}, {"temperature : ", "1\n"}});
  ASSERT_TRUE(machine->waitFor("Coffee Making Finished..!!", 120s));
  choose(*machine, {{"0)Power", "3\n"}});
  ASSERT_TRUE(machine->waitFor("cleaning is finished.", 120s));
  choose(*machine, {{"0)Power", "2\n"},
                    {"time : ", "12240000\n"},
                    {"concentrate : ", "100\n"},
                    {"temperature : ", "0\n"}});
  ASSERT_TRUE(machine->waitFor("Coffee Making Finished..!!", 120s)) << "the due booking fires";
  choose(*machine, {{"0)Power", "4\n"}, {"water : ", "5000\n"}, {"powder : ", "1\n"}, {"bean : ", "1\n"}});
  ASSERT_TRUE(machine->waitFor("renewMaterial finished!!", 120s));
  choose(*machine, {{"0)Power", "8\n"}, {"time : ", "12240000\n"}});
  ASSERT_TRUE(machine->waitFor("cleaning is finished.", 120s)) << "the due cleaning fires";
  choose(*machine, {{"0)Power", "4\n"}, {"water : ", "1\n"}, {"powder : ", "1\n"}, {"bean : ", "oops\n"}});
  choose(*machine, {{"0)Power", "5\n"}});
  choose(*machine, {{"0)Power", "6\n"}});
  choose(*machine, {{"0)Power", "7\n"}});
  choose(*machine, {{"0)Power", "abc\n"}});
  finish(*machine);
}

TEST_F(MemcheckSessionTest, BasicEditionSession) {
  auto machine = startUnderValgrind(kBasicProgram);
  choose(*machine, {{"0)Power", "1\n"}, {"concentrate : ", "300\n"}, {"temperature : ", "0\n"}});
  ASSERT_TRUE(machine->waitFor("Coffee Making Finished..!!", 120s));
  choose(*machine, {{"0)Power", "3\n"}});
  ASSERT_TRUE(machine->waitFor("cleaning is finished.", 120s));
  choose(
      *machine,
      {{"0)Power", "2\n"}, {"time : ", "12240000\n"}, {"concentrate : ", "0\n"}, {"temperature : ", "0\n"}});
  // With no key in a pass the due (empty) booking fires, silently.
  ASSERT_TRUE(machine->waitForClockLine(60s));
  ASSERT_TRUE(machine->waitForClockLine(60s));
  ASSERT_TRUE(machine->waitForClockLine(60s));
  choose(*machine, {{"0)Power", "4\n"}, {"water : ", "1\n"}, {"powder : ", "1\n"}, {"bean : ", "1\n"}});
  ASSERT_TRUE(machine->waitFor("renewMaterial finished!!", 120s));
  choose(*machine, {{"0)Power", "5\n"}});
  choose(*machine, {{"0)Power", "6\n"}});
  finish(*machine);
  EXPECT_EQ(readFile("reserveData.txt"), "") << "the empty booking fired and left";
}

}  // namespace
}  // namespace cm::e2e
