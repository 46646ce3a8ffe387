// coffee_machine, the full edition: a clock thread shows the time and fires
// bookings on standby; a key opens the menu.
#include <mutex>
#include <thread>

#include "console/input.h"
#include "console/menu.h"
#include "console/startup.h"
#include "console/terminal.h"
#include "control/booking_runner.h"
#include "full/clock_thread.h"
#include "full/key_wakeup.h"
#include "output/status_header.h"

namespace cm {
namespace {

// Standby until a key wakes the machine. Returns with the clock stopped.
void standby() {
  std::jthread clock(time_function);
  for (;;) {
    const int key = full::isStart();
    if (inputClosed()) {
      // Nobody can open the menu any more: the clock keeps running and
      // firing bookings until the process is ended.
      clock.join();
    }
    if ((key & 0xFF) != 0) break;
    std::lock_guard lock(machineMutex);
    fireDueBrew(currentTime);
  }
  clock.request_stop();
  clock.join();
  // What was typed while a booking ran or the screen was held is no answer.
  dropTypedAhead();
}

}  // namespace
}  // namespace cm

int main(int argc, char** argv) {
  cm::startUp(argc, argv, cm::kCoffeeMachine);
  cm::guardTerminal();
  for (;;) {
    cm::standby();
    cm::runMenu();
  }
}
