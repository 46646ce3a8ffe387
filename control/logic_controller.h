// Routes what the user typed: an immediate brew becomes the current coffee
// request, a booking with coffee a brew booking, and (where the edition has
// cleaning bookings) a booking without coffee a cleaning booking.
#pragma once

namespace cm {

inline constexpr int kNothingStored = 0;  // the booking could not be written
inline constexpr int kStoredRequest = 1;
inline constexpr int kStoredBooking = 2;

// time 0 stores the request; any other time stores a booking. Nothing is
// validated: invalid codes surface when the brew runs. A booking that cannot
// be written is told on the screen.
int logicController(int time, int concentrate, int temperature);

}  // namespace cm
