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
#include "machine/data_file.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "output/status_header.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {
namespace {

void startUp() {
  startMachine("coffee_machine", kFullEdition, kDataFiles);
  nonData = {0, 0};
  initList(reserveList);
  initClist(cleanList);
  popReserveFile(reserveList);
  popCleanFile(cleanList);
  isPowderRemain = 0;
  temperatureData = kUnsetSelection;
  concentrateData = kUnsetSelection;
  guardTerminal();
}

// Standby until a key wakes the machine. Returns with the clock stopped.
void standby() {
  std::jthread clock(time_function);
  for (;;) {
    const int key = isStart();
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
}

}  // namespace
}  // namespace cm

int main() {
  cm::startUp();
  for (;;) {
    cm::standby();
    cm::runMenu();
  }
}
