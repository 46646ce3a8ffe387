// The real platform: the shell's "clear", sleeps of the calling thread and
// the system clock.
//
// Every wait measures against the system clock (never the steady clock), so
// the programs can be run at an accelerated clock under libfaketime.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "machine/platform.h"

namespace cm::platform {

void clearScreen() {
  std::fflush(stdout);
  // The shell runs "clear" as system() would, but without system()'s habit
  // of ignoring SIGINT and SIGQUIT in this process while the command runs:
  // an interrupt that lands during a clear must still restore the terminal
  // and end the machine. The result is not examined: a failed clear leaves
  // the new screen printed under the old output, which is harmless.
  static char shell[] = "/bin/sh";
  static char dashC[] = "-c";
  static char command[] = "clear";
  char* const argv[] = {shell, dashC, command, nullptr};
  pid_t child = -1;
  if (::posix_spawn(&child, shell, nullptr, nullptr, argv, environ) != 0) return;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

void pauseSeconds(int seconds) {
  std::fflush(stdout);
  if (seconds <= 0) return;
  // A signal cuts the sleep short; sleep on for what is left, but never for
  // longer than was asked: libfaketime has been seen to report a remainder
  // of days after a one-second sleep.
  timespec wanted{seconds, 0};
  timespec left{};
  while (::nanosleep(&wanted, &left) != 0 && errno == EINTR) {
    if (left.tv_sec > wanted.tv_sec || (left.tv_sec == wanted.tv_sec && left.tv_nsec >= wanted.tv_nsec))
      break;
    wanted = left;
  }
}

bool waitForNextSecond(const std::stop_token& stop) {
  std::fflush(stdout);
  using std::chrono::system_clock;
  const auto deadline =
      std::chrono::ceil<std::chrono::seconds>(system_clock::now() + std::chrono::microseconds(1));
  std::mutex mutex;
  std::condition_variable_any wakeup;
  std::unique_lock lock(mutex);
  // The predicate is "never": only the deadline or the stop request end it.
  wakeup.wait_until(lock, stop, deadline, [] { return false; });
  return !stop.stop_requested();
}

// The precise clock, not time(): time() reads a coarse clock that can still
// show the old second a few milliseconds after the wait for the new one
// ended, and the standby clock would then show a second twice.
std::time_t now() { return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()); }

}  // namespace cm::platform
