// The real platform: the shell's "clear", sleeps of the calling thread and
// the system clock.
//
// Every wait is a span of real time, measured as sleep() and poll() measure
// it, so a step of the wall clock never lengthens a wait, and the programs
// can be run at an accelerated clock under libfaketime.
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "machine/platform.h"

// POSIX leaves its declaration to the program (macOS's headers have none).
extern char** environ;

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

// A span of real time, never "until the wall clock reads T": a wall clock
// stepped back during a wait to a deadline would stop the clock for as long
// as the step. poll() counts its timeout on the kernel's monotonic clock
// (libfaketime speeds it up as it does sleeps), and a stop request wakes it
// through the request's pipe at once.
bool waitForNextSecond(const StopRequest& stop) {
  std::fflush(stdout);
  using namespace std::chrono;
  const auto deadline = ceil<seconds>(system_clock::now() + microseconds(1));
  pollfd ready{stop.wakeDescriptor(), POLLIN, 0};
  // The span to the next second, measured again while the wall clock has
  // not reached it (libfaketime scales a timeout down, to nothing when it
  // is a few milliseconds), but never again once the wall clock is further
  // from it than a second: it was stepped back. Without a pipe (fd -1) poll
  // only sleeps.
  while (!stop.requested()) {
    const auto left = ceil<milliseconds>(deadline - system_clock::now());
    if (left <= milliseconds(0) || left > seconds(1)) break;
    ::poll(&ready, 1, static_cast<int>(left.count()));
  }
  return !stop.requested();
}

// The precise clock, not time(): time() reads a coarse clock that can still
// show the old second a few milliseconds after the wait for the new one
// ended, and the standby clock would then show a second twice.
std::time_t now() { return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()); }

}  // namespace cm::platform
