// coffee_machine_basic: one thread polls the keyboard once a second between
// redraws of the clock and fires due brew bookings itself.
#include <ctime>

#include "basic/keyboard.h"
#include "console/menu.h"
#include "console/startup.h"
#include "console/terminal.h"
#include "control/booking_runner.h"
#include "machine/data_file.h"
#include "machine/material_store.h"
#include "machine/platform.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "output/status_header.h"
#include "schedule/brew_schedule.h"

namespace cm {
namespace {

void startUp() {
  // The cleaning bookings' file is not this edition's.
  const char* const dataFiles[] = {kWaterFile, kPowderFile, kBeanFile, kReserveFile};
  startMachine("coffee_machine_basic", kBasicEdition, dataFiles);
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

int main() {
  cm::startUp();
  for (;;) cm::pollingPass();
}
