#include "full/clock_thread.h"

#include <mutex>

#include "control/booking_runner.h"
#include "machine/platform.h"
#include "output/status_header.h"

namespace cm {

void time_function(const StopRequest& stop) {
  while (!stop.requested()) {
    int stamp;
    {
      std::lock_guard lock(machineMutex);
      readClock();
      stamp = currentTime;
      platform::clearScreen();
      printClockLine(t);
    }
    // Waiting for the next whole second, not a fixed second, keeps the
    // clock from skipping a second now and then.
    if (!platform::waitForNextSecond(stop)) return;
    std::lock_guard lock(machineMutex);
    // At most one booking a pass, brews before cleanings.
    if (!fireDueBrew(stamp)) fireDueCleaning(stamp);
  }
}

}  // namespace cm
