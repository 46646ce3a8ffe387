// Test side of the platform seam: what the machine asked of the host.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace cm::fake {

// A local date and time (month 1-12), broken down or as calendar time.
std::tm localDate(int year, int month, int day, int hour, int minute, int second);
std::time_t localTime(int year, int month, int day, int hour, int minute, int second);

// 2026-12-24 18:29:50 local time, the default pinned clock.
std::time_t christmasEve();

// Forgets all recorded events and pins the clock at `start`.
void resetPlatform(std::time_t start);

// When on (the default), a clear writes "[clear]" and a pause "[pause N]"
// into standard output, so captured screens show where they happen.
void setMarkers(bool on);

int clearCount();
std::vector<int> pauses();
int totalPauseSeconds();

// Moves the pinned clock; pauses move it too.
void setTime(std::time_t now);

}  // namespace cm::fake
