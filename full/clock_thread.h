// The standby clock of the full edition: a thread that redraws the time once
// a second and fires due bookings.
#pragma once

#include "machine/stop_request.h"

namespace cm {

// Runs passes until a stop is requested. A stop request is honoured between
// passes and during the wait for the next second; a booking that has begun
// always runs to its end and leaves its schedule first.
void time_function(const StopRequest& stop);

}  // namespace cm
