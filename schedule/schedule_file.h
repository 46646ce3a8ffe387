// The two schedule files as their schedules read and change them, in the
// text of store/data_text.h.
#pragma once

#include <vector>

namespace cm {

// The leading integers of the file, up to the first thing that is not an int
// (an out-of-range number counts as not a number). A missing file gives
// none; false when the file is there but cannot be read.
bool readScheduleNumbers(const char* path, std::vector<int>& numbers);

// Replaces the file's content, under the folder's update lock. False when
// it could not be written.
bool writeScheduleNumbers(const char* path, const std::vector<int>& numbers);

// Appends a booking to the file as it is at this moment, under the update
// lock; an incomplete last booking is dropped, as loading drops it. False
// when it could not be written.
bool appendScheduleRecord(const char* path, const std::vector<int>& record);

}  // namespace cm
