// coffee_machine_basic: one thread polls the keyboard once a second between
// redraws of the clock and fires due brew bookings itself.
#include <ctime>

#include "basic/keyboard.h"
#include "console/input.h"
#include "console/menu.h"
#include "console/startup.h"
#include "control/booking_runner.h"
#include "machine/platform.h"
#include "output/status_header.h"

namespace cm {
namespace {

void pollingPass() {
  const std::time_t now = platform::now();
  std::tm local{};
  localtime_r(&now, &local);
  const int stamp = minuteStamp(local);
  platform::clearScreen();
  printClockLine(local);
  platform::pauseSeconds(1);
  platform::clearScreen();
  const int key = basic::isStart();
  if ((key & 0xFF) == 0) {
    fireDueBrew(stamp);  // at most one booking a pass, only when no key came
    return;
  }
  // The waking key itself is discarded, and what was typed before it (during
  // a brew, a held screen) is dropped: it is no answer to the menu.
  dropTypedAhead();
  runMenu();
}

}  // namespace
}  // namespace cm

int main(int argc, char** argv) {
  cm::startUp(argc, argv, cm::kCoffeeMachineBasic);
  cm::basic::init_keyboard();  // the terminal in keyboard mode before the first pass
  for (;;) cm::pollingPass();
}
