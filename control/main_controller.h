// The one entry through which the front end and the clock drive the
// machine: power-off, menu and prompt screens, and the brew and cleaning
// sequences with their checks, animations, result screens and beeps.
#pragma once

#include "machine/registers.h"

namespace cm {

inline constexpr int kCleaningWater = 500;     // mL per cleaning
inline constexpr int kMinimumBrewWater = 100;  // mL, for a code no brew is made with
inline constexpr int kGrindBelowPowder = 10;   // grind when powder is 9 g or less
inline constexpr int kGrindBeans = 10;         // g of beans per grinding

// water, beans and powder are the levels the caller has just read (0 when
// no brew is asked for). displayCode 0 runs a sequence; any other value
// only draws that screen.
void mainController(int cleanFlag, int powerFlag, int water, int beans, int powder, CoffeeRequest request,
                    int displayCode);

// The brew of `request`, as the front end and the booking runner start it:
// the levels are read now and handed to the main controller; one that
// cannot be read is said, and nothing brews.
void brewWithLevelsNow(CoffeeRequest request);

// A file that could not be read or written ends its action with this screen
// in place of the success screen: the file and the reason, then three
// beeps. Nothing when no failure waits to be told.
void reportFileFailure();

}  // namespace cm
