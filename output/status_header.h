// The status header above every framed screen of the full edition: date and
// time, the selection, the levels, used powder and both booking tables.
#pragma once

#include <ctime>

namespace cm {

// The last clock reading, its local time and its minute stamp MMDDHHMM.
extern std::time_t timer;
extern std::tm t;
extern int currentTime;

// The minute stamp of a local time: month (1-12) x 1000000 + day x 10000 +
// hour x 100 + minute. It carries no year.
int minuteStamp(const std::tm& local);

// Reads the clock into timer, t and currentTime.
void readClock();
// Back to the power-on state, as a test begins.
void resetClockReading();

// The standby clock: "%d-%d-%d  %d : %d : %d\n", nothing zero-padded.
void printClockLine(const std::tm& local);

// Prints the header at the cursor; it never clears the screen.
void bios_function();

}  // namespace cm
