#include "control/logic_controller.h"

#include "control/main_controller.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {

int logicController(int time, int concentrate, int temperature) {
  isReserve = 0;
  if (time == 0) {
    pushCoffeeData(concentrate, temperature);
    isReserve = 0;
    return kStoredRequest;
  }
  if (edition().cleanSchedule && concentrate == 0 && temperature == 0) {
    if (pushCleanData(time)) return kStoredBooking;
    reportFileFailure();
    return kNothingStored;
  }
  // The booking comes from the input registers the Reserve path has just set.
  if (!pushReserveData(timeData, concentrateData, temperatureData)) {
    reportFileFailure();
    return kNothingStored;
  }
  isReserve = 1;
  return kStoredBooking;
}

}  // namespace cm
