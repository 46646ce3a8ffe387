// coffee_machine_basic: one thread polls the keyboard once a second between
// redraws of the clock and fires due brew bookings itself.
#include <ctime>

#include "basic/keyboard.h"
#include "console/menu.h"
#include "console/options.h"
#include "console/startup.h"
#include "console/terminal.h"
#include "control/booking_runner.h"
#include "machine/material_store.h"
#include "machine/platform.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "output/status_header.h"
#include "schedule/brew_schedule.h"

namespace cm {
namespace {

const ProgramText kProgram = {"coffee_machine_basic", R"(Usage: coffee_machine_basic [--help | --version]

A household coffee machine simulated in the terminal, the basic edition: one
thread that polls the keyboard once a second, brews now or booked for a later
minute, cleaning, recharging. Its frames use the CP949 (EUC-KR) square: run
it on a CP949 terminal, or elsewhere under luit -encoding EUC-KR.

It works on the data files of the current folder:
  waterSensor.txt, powderSensor.txt, beanSensor.txt   the three levels
  reserveData.txt                                     the brew bookings
and keeps its locks in .coffee_machine.lock there. Start it in a folder that
holds them: the default files are installed in share/coffee_machine beside
the program's bin/ (/usr/share/coffee_machine from the package).

On standby any key wakes the machine within a second. Then type a menu number
and Enter (typed answers are not echoed): 1 make, 2 reserve, 3 cleaning,
4 recharge material, 5 show material, 6 show reserve list. 0 and Enter powers
it off; Ctrl-C quits at any moment.

  --help     show this help and exit
  --version  show the version and exit
)"};

void startUp() {
  startMachine("coffee_machine_basic", kBasicEdition);
  nonData = {0, 0};
  initList(reserveList);
  popReserveFile(reserveList);
  isPowderRemain = 0;
  init_keyboard();
}

void pollingPass() {
  const std::time_t now = platform::now();
  std::tm local{};
  localtime_r(&now, &local);
  const int stamp = minuteStamp(local);
  platform::clearScreen();
  printClockLine(local);
  platform::pauseSeconds(1);
  platform::clearScreen();
  const int key = isStart();
  if ((key & 0xFF) == 0) {
    fireDueBrew(stamp);  // at most one booking a pass, only when no key came
    return;
  }
  runMenu();  // the waking key itself is discarded
}

}  // namespace
}  // namespace cm

int main(int argc, char** argv) {
  cm::readCommandLine(argc, argv, cm::kProgram);
  cm::startUp();
  for (;;) cm::pollingPass();
}
