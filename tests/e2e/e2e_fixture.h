// A working folder seeded with the default data files, and the programs.
#pragma once

#include <gtest/gtest.h>
#include <termios.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/pty_session.h"

namespace cm::e2e {

inline const std::string kFullProgram = COFFEE_MACHINE_PATH;
inline const std::string kBasicProgram = COFFEE_MACHINE_BASIC_PATH;

// One user action: the bytes to type, each after the prompt before it.
struct Step {
  const char* prompt;
  const char* typed;
};
using Action = std::vector<Step>;

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<PtySession> start(const std::string& program, bool stdinFromDevNull = false,
                                    const std::string& fakeStart = "2026-12-24 18:29:50");
  // The same as user "nobody" when the test runs as root: from a copy of the
  // program that nobody can reach, in the folder, whose owner nobody is when
  // `nobodysFolder` (else root's, readable by all).
  std::unique_ptr<PtySession> startAsNobody(const std::string& program, bool nobodysFolder);

  // From now on the programs' "clear" prints "[slow clear]" and then takes
  // half a second (at twenty times speed), so a test can act while one runs.
  void useSlowClear();
  // The programs started from now on read a wall clock that each call steps to `at`.
  void stepClockTo(const std::string& at);

  void writeFile(const std::string& name, const std::string& bytes) const;
  std::string readFile(const std::string& name) const;
  void setLevels(int water, int powder, int beans) const;
  // The data files' bytes, to compare before and after an action.
  std::string snapshot() const;
  std::filesystem::file_time_type modified(const std::string& name) const;
  // Temporary files, except those of the running program `live`: a booking
  // that fires at start-up may be in the middle of its own rewrite.
  std::vector<std::string> temporaryFiles(pid_t live = -1) const;

  // Presses a key and waits for the whole menu.
  static void openMenu(PtySession& machine, const char* key = "q");
  // Waits for the prompt, then types the answer.
  static void answer(PtySession& machine, const char* prompt, const char* value);

  std::filesystem::path folder_;
  std::string pathPrefix_;
  std::vector<std::string> environment_;
};

// The folder's locks as the programs take them: flock(2) locks on
// ".coffee_machine.lock" (the update lock, one change) and on the folder
// itself (the sequence claim). A test holds one as another program would.
enum class FolderLockKind { update, claim };
inline constexpr FolderLockKind kUpdateLock = FolderLockKind::update;
inline constexpr FolderLockKind kClaim = FolderLockKind::claim;
class HeldLock {
 public:
  HeldLock(const std::filesystem::path& folder, FolderLockKind lock);  // waits for it
  ~HeldLock();
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;

 private:
  int fd_;
};
// Whether another process than the test holds the lock (the kernel lists
// it).
bool lockedByAProgram(const std::filesystem::path& folder, FolderLockKind lock);
// Reads the program's output until it waits for the lock (the kernel lists
// its blocked request); false when it does not within 20 s.
bool untilItWaitsFor(PtySession& machine, const std::filesystem::path& folder, FolderLockKind lock);

// Echo and line mode are on, as a fresh terminal has them.
bool isLineModeWithEcho(const termios& settings);

}  // namespace cm::e2e
