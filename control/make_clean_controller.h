// The actuator sequences of a brew and of a cleaning. Neither draws
// anything; the main controller surrounds them with screens and beeps.
#pragma once

namespace cm {

inline constexpr int kPowderPerCup = 10;  // g

// Validates the request, heats for a hot coffee, runs the brewing unit and
// books the water and powder used. 1 when the coffee was made, else 0 (with
// lastFileFailure set when the use could not be written).
int makeController(int concentrate, int temperature);

// Runs rotate, spin and shower in that order. 1 when all three completed.
int cleanController(int cleanFlag);

}  // namespace cm
