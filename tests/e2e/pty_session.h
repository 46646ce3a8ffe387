// Runs one of the machine's programs in a pseudo-terminal, in its own
// working folder, under libfaketime: a pinned date and a clock twenty times
// as fast, so a one-second frame takes 50 ms.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace cm::e2e {

using namespace std::chrono_literals;

struct SessionOptions {
  std::string program;
  std::vector<std::string> arguments;
  std::filesystem::path folder;
  std::string fakeStart = "2026-12-24 18:29:50";  // local time, TZ=UTC
  int speed = 20;
  bool stdinFromDevNull = false;
  bool fakeClock = true;  // false: the real clock, for measurements
  // Run the program as a shell runs a job: in a process group of its own
  // under a parent that waits for it, so Ctrl-Z really stops it (the stop
  // is discarded for a session leader's orphaned process group).
  bool jobControl = false;
  // A folder searched before PATH, for stand-ins of the shell's commands.
  std::string pathPrefix;
  // More environment variables, as NAME=value.
  std::vector<std::string> environment;
  // Run as user "nobody" when the test runs as root (the program must then
  // lie where nobody can reach it).
  bool asNobody = false;
};

class PtySession {
 public:
  explicit PtySession(const SessionOptions& options);
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  void type(std::string_view bytes);

  // Waits until `text` appears in the output after the last match and moves
  // past it. False when it did not appear within the timeout, or before the
  // program ended.
  bool waitFor(std::string_view text, std::chrono::milliseconds timeout = 20s);

  // The same for a pattern.
  bool waitForMatch(const std::regex& pattern, std::chrono::milliseconds timeout = 20s);

  // Waits for the standby clock line ("2026-12-24  18 : 30 : 5").
  bool waitForClockLine(std::chrono::milliseconds timeout = 20s);

  // Reads output for this long.
  void drain(std::chrono::milliseconds duration);

  // All output so far, and the output after the last match.
  const std::string& transcript() const { return output_; }
  std::string sinceLastMatch() const { return output_.substr(matched_); }
  // Marks the current end of the output as matched.
  void skipToEnd() { matched_ = output_.size(); }

  // The program's exit: its status when it exited, 128 + signal when a
  // signal ended it, nothing when it is still running after the timeout.
  std::optional<int> waitExit(std::chrono::milliseconds timeout = 20s);
  bool running();
  // Ends the program with SIGKILL and reaps it.
  void kill();

  // The terminal's settings as the program left them.
  termios terminalSettings() const;

  pid_t pid() const { return pid_; }
  // The terminal's foreground process group: the program's, under job control.
  pid_t foregroundGroup() const;
  void signal(int signo) const;

 private:
  void pump(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int master_ = -1;
  int slave_ = -1;
  std::string output_;
  std::size_t matched_ = 0;
  std::optional<int> exit_;
};

// A new folder under the temporary directory, its name starting with
// `name`; empty when it cannot be made.
std::filesystem::path makeTempFolder(const std::string& name);
// The same, holding a copy of the default data files: a fresh working folder.
std::filesystem::path makeSeededFolder(const std::string& name);

// Process CPU time (user + system) in seconds, from /proc; with children,
// also that of its waited-for children (the "clear" commands).
double cpuSeconds(pid_t pid, bool withChildren = false);

// The process state letter from /proc ('T' when stopped).
char processState(pid_t pid);

// The children of `parent` that have ended and were never waited for.
std::vector<pid_t> zombieChildren(pid_t parent);

// Peak resident memory in KiB, from /proc.
long peakResidentKiB(pid_t pid);

}  // namespace cm::e2e
