// coffee_machine, the full edition: a clock thread shows the time and fires
// bookings on standby; a key opens the menu.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "console/input.h"
#include "console/menu.h"
#include "console/startup.h"
#include "console/terminal.h"
#include "control/booking_runner.h"
#include "full/clock_thread.h"
#include "full/key_wakeup.h"
#include "machine/stop_request.h"
#include "output/status_header.h"

namespace cm {
namespace {

// Standby until a key wakes the machine. Returns with the clock stopped.
void standby() {
  StopRequest stop;
  std::thread clock;
  try {
    clock = std::thread(time_function, std::cref(stop));
  } catch (const std::system_error& error) {
    // No clock, no bookings: the machine cannot stand by. The exit gives
    // the terminal back.
    std::fprintf(stderr, "coffee_machine: cannot start the clock: %s\n", error.code().message().c_str());
    std::exit(1);
  }
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
  stop.request();
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
