// Firing due bookings. A booking leaves its file only after its sequence has
// run, whatever the outcome; its consumption is recorded in the same step
// as the sequence's charge (or its refusal), so a program killed in between
// leaves the removal to the next one, and the booking is never fired twice.
// A booking whose sequence could not be written stays in its file and is
// not fired again by this program.
#pragma once

#include <mutex>

namespace cm {

// Held by whoever draws on the standby screen or fires a booking, so the
// clock thread and the main thread never do either at the same time.
extern std::mutex machineMutex;

// Fires the first brew booking due at minute stamp `now`, if any: reads the
// levels, runs the brew sequence, then removes that booking and rewrites the
// file. Returns whether one fired, or whether the machine said instead that
// the booking file is not whole bookings (once for each version of it).
bool fireDueBrew(int now);

// The same for the cleaning schedule.
bool fireDueCleaning(int now);

// Back to the power-on state, as a test begins: no booking has failed.
void resetFailedBookings();

}  // namespace cm
