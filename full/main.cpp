// coffee_machine, the full edition: a clock thread shows the time and fires
// bookings on standby; a key opens the menu.
#include <mutex>
#include <thread>

#include "console/input.h"
#include "console/menu.h"
#include "console/options.h"
#include "console/startup.h"
#include "console/terminal.h"
#include "control/booking_runner.h"
#include "full/clock_thread.h"
#include "full/key_wakeup.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "output/status_header.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {
namespace {

const ProgramText kProgram = {"coffee_machine", R"(Usage: coffee_machine [--help | --version]

A household coffee machine simulated in the terminal, the full edition: a
clock on standby, brews now or booked for a later minute, cleanings now or
booked, recharging, and a status header above every screen.

It works on the data files of the current folder:
  waterSensor.txt, powderSensor.txt, beanSensor.txt   the three levels
  reserveData.txt                                     the brew bookings
  cleanReserveData.txt                                the cleaning bookings
and keeps its locks in .coffee_machine.lock there. Start it in a folder that
holds them: the default files are installed in share/coffee_machine beside
the program's bin/ (/usr/share/coffee_machine from the package).

On standby any key wakes the machine. Then type a menu number and Enter:
1 make, 2 reserve, 3 cleaning, 4 recharge material, 5 show material,
6 show reserve list, 7 show clean list, 8 clean reserve. 0 and Enter powers
it off; Ctrl-C quits at any moment.

  --help     show this help and exit
  --version  show the version and exit
)"};

void startUp() {
  startMachine("coffee_machine", kFullEdition);
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

int main(int argc, char** argv) {
  cm::readCommandLine(argc, argv, cm::kProgram);
  cm::startUp();
  for (;;) {
    cm::standby();
    cm::runMenu();
  }
}
