#include "console/menu.h"

#include <cstdio>
#include <optional>

#include "console/input.h"
#include "console/maintenance.h"
#include "control/logic_controller.h"
#include "control/main_controller.h"
#include "machine/registers.h"
#include "output/display.h"
#include "output/edition.h"
#include "schedule/booking_text.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal.h"

namespace cm {

int register1 = 0;
int register2 = 0;
int register3 = 0;
void resetMenuRegisters() { register1 = register2 = register3 = 0; }

namespace {

void showScreen(int code) { mainController(0, 0, 0, 0, 0, nonData, code); }

bool anyNumber(int) { return true; }

// A booking's time must name a minute that comes round: any other answer is
// refused as a non-number is. 0 is no time: the request is stored, and
// nothing is booked.
bool isBookingTime(int answer) { return answer == 0 || namesMinute(answer); }

// Shows the screen, then reads its answer into `reg`. False abandons: an
// answer that is no number, or one not `accepted`.
bool askInto(int screen, int& reg, bool (*accepted)(int) = anyNumber) {
  showScreen(screen);
  const std::optional<int> answer = readNumberLine();
  if (!answer || !accepted(*answer)) return false;
  reg = *answer;
  return true;
}

// One machine runs one sequence at a time: while another program in the
// folder runs one, a brew or cleaning chosen here waits for it to end, the
// screen as it is, and only then reads the levels it checks.
template <typename Run>
void runSequence(Run run) {
  const Sequence sequence(Wait::yes);
  if (sequence.ready()) {
    run();
  } else {
    reportFileFailure();
  }
}

void makeNow() {
  if (!askInto(kConcentratePromptScreen, register1)) return;
  if (!askInto(kTemperaturePrompt, register2)) return;
  const int temperature = temperatureInterface(register2);
  const int concentrate = concentrateInterface(register1);
  logicController(0, concentrate, temperature);
  runSequence([] { brewWithLevelsNow(coffeeData); });
}

void reserve() {
  if (!askInto(kTimePromptScreen, register1, isBookingTime)) return;
  if (!askInto(kReserveConcentratePrompt, register2)) return;
  if (!askInto(kReserveTemperaturePrompt, register3)) return;
  const int temperature = temperatureInterface(register3);
  const int concentrate = concentrateInterface(register2);
  const int time = timeInterface(register1);
  logicController(time, concentrate, temperature);
}

void reserveCleaning() {
  if (!askInto(kCleanTimePromptScreen, register1, isBookingTime)) return;
  logicController(register1, 0, 0);
}

}  // namespace

void hardwareView() {
  std::puts("");
  std::puts("                     4)Recharge material");
  std::puts("                         5)Show material");
  std::puts("                     6)Show Reserve List");
  if (edition().cleanSchedule) std::puts("                       7)Show Clean List");
  std::puts("                                 0)Power");
}

void runMenu() {
  showScreen(kMenuScreen);
  hardwareView();
  const std::optional<int> choice = readNumberLine();
  if (!choice) return;
  const bool cleaning = edition().cleanSchedule;
  switch (*choice) {
    case 0:
      mainController(0, 1, 0, 0, 0, nonData, 0);
      break;
    case 1:
      makeNow();
      break;
    case 2:
      reserve();
      break;
    case 3:
      runSequence([] { mainController(1, 0, 0, 0, 0, nonData, 0); });
      break;
    case 4:
      renewMaterial();
      break;
    case 5:
      showMaterial();
      break;
    case 6:
      followReserveFile(reserveList);
      printAllList(reserveList);
      break;
    case 7:
      if (!cleaning) break;
      followCleanFile(cleanList);
      printAllClist(cleanList);
      break;
    case 8:
      if (cleaning) reserveCleaning();
      break;
    default:
      break;
  }
}

}  // namespace cm
