// The one seam between the machine and the host it runs on: clearing the
// display, waiting whole seconds and reading the wall clock.
//
// The programs link platform_posix.cpp; the unit tests link a fake that
// records what happened and returns at once (link-time substitution).
#pragma once

#include <ctime>

#include "machine/stop_request.h"

namespace cm::platform {

// Clears the terminal with the shell command "clear". Pending output is
// flushed first so it is not drawn after the clear.
void clearScreen();

// Waits whole seconds with the calling thread. Pending output is flushed
// first, so what is on the screen stays visible for the whole wait.
void pauseSeconds(int seconds);

// Waits until the wall clock reaches its next whole second, or until a stop
// is requested; never longer than a second of real time, whatever the wall
// clock does meanwhile. Returns false when it ended because of the stop
// request.
bool waitForNextSecond(const StopRequest& stop);

// The wall clock: calendar time in seconds.
std::time_t now();

}  // namespace cm::platform
