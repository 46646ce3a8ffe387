#include "control/make_clean_controller.h"

#include "machine/material_store.h"
#include "machine/number_text.h"
#include "machine/registers.h"

namespace cm {

int makeController(int concentrate, int temperature) {
  // The codes are checked before the heater runs, the heater before the
  // brewing unit, and materials are booked only after the unit succeeded.
  const Concentrate* const cup = concentrateOf(concentrate);
  if (temperature == kCold) {
    if (!cup) return 0;
  } else if (temperature == kHot) {
    if (!cup) return 0;
    _isBoil = boilInterface();
    if (_isBoil != 1) return 0;
  } else {
    return 0;
  }
  _isMake = makeInterface();
  if (_isMake != 1) return 0;

  // No level is tested here: the thresholds are the main controller's. The
  // water and the powder are one charge, taken from the files as they are
  // now (a recharge made meanwhile by the other program stays); for a booked
  // brew the same step consumes the booking.
  const bool charged = chargeLevels(
      [cup](Levels levels) {
        levels.water = saturatingSub(levels.water, cup->water);
        levels.powder = saturatingSub(levels.powder, kPowderPerCup);
        return levels;
      },
      Settles::yes);
  if (!charged) return 0;
  isPowderRemain = 1;
  return 1;
}

int cleanController(int cleanFlag) {
  if (cleanFlag != 1) return 0;
  _isRotate = rotateInterface();
  if (_isRotate != 1) return 0;
  _isSpin = spinInterface();
  if (_isSpin != 1) return 0;
  _isShower = showerInterface();
  return _isShower == 1 ? 1 : 0;
}

}  // namespace cm
