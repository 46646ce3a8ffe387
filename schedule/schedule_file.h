// The text form shared by both schedule files: decimal integers, one per
// line, each written with "%d\n".
#pragma once

#include <string>
#include <vector>

namespace cm {

// The leading integers of the file, up to the first thing that is not an int
// (an out-of-range number counts as not a number). A missing file gives none.
std::vector<int> readScheduleNumbers(const char* path);

void writeScheduleNumbers(const char* path, const std::vector<int>& numbers);

// A listing screen ends with a hold: 2 seconds when it had nothing to show.
inline constexpr int kEmptyListHoldSeconds = 2;
inline constexpr int kListHoldSeconds = 5;

}  // namespace cm
