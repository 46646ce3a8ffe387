// The real platform: the shell's "clear", sleeps of the calling thread and
// the system clock.
//
// Every wait measures against the system clock (never the steady clock), so
// the programs can be run at an accelerated clock under libfaketime.
#include "machine/platform.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace cm::platform {

void clearScreen() {
  std::fflush(stdout);
  // The result is not examined: a failed clear leaves the new screen printed
  // under the old output, which is harmless.
  [[maybe_unused]] int ignored = std::system("clear");
}

void pauseSeconds(int seconds) {
  std::fflush(stdout);
  if (seconds <= 0) return;
  // sleep() returns early on a signal; finish the wait that was asked for.
  unsigned left = static_cast<unsigned>(seconds);
  while (left > 0) left = ::sleep(left);
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

std::time_t now() { return std::time(nullptr); }

}  // namespace cm::platform
