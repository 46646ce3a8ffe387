// Firing due bookings. A booking leaves its schedule and file only after its
// sequence has run, whatever the outcome, so it is never half-run, never
// left behind and never fired twice.
#pragma once

#include <mutex>

namespace cm {

// Held by whoever draws on the standby screen or fires a booking, so the
// clock thread and the main thread never do either at the same time.
extern std::mutex machineMutex;

// Fires the first brew booking due at minute stamp `now`, if any: reads the
// levels, runs the brew sequence, then removes that booking and rewrites the
// file. Returns whether one fired.
bool fireDueBrew(int now);

// The same for the cleaning schedule.
bool fireDueCleaning(int now);

}  // namespace cm
