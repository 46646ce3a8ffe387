#include "machine/fault_points.h"

#ifdef COFFEE_FAULT_POINTS

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace cm {

namespace {

long killAtStep() {
  static const long step = [] {
    const char* text = std::getenv("COFFEE_KILL_AT_STEP");
    return text ? std::atol(text) : 0L;
  }();
  return step;
}

std::atomic<long> stepsTaken{0};

}  // namespace

void writeStep(std::string_view step, std::string_view file) {
  if (++stepsTaken != killAtStep()) return;
  const std::string line = "[killed before step " + std::to_string(killAtStep()) + ": " + std::string(step) +
                           " " + std::string(file) + "]\n";
  [[maybe_unused]] const ssize_t written = ::write(2, line.data(), line.size());
  ::raise(SIGKILL);
}

}  // namespace cm

#endif
