// The two schedule files as their schedules read and change them, in the
// text of schedule/booking_text.h.
#pragma once

#include <cstddef>
#include <vector>

#include "store/data_file.h"

namespace cm {

// Loads the numbers of the file's bookings, `width` numbers each, for a
// schedule that caches it: true when they were read (a missing file holds
// none). A file that cannot be read is left to a later look (`loadedFrom`
// unchanged); one whose text is not whole bookings stays so until the file
// changes: `textFault` says where it went wrong.
bool loadScheduleNumbers(const char* path, std::size_t width, std::vector<int>& numbers, FileIdentity& loadedFrom,
                         std::optional<FileError>& textFault);

// Replaces the file's content, under the folder's update lock. False when
// it could not be written.
bool writeScheduleNumbers(const char* path, const std::vector<int>& numbers);

// Appends a booking to the file as it is at this moment, under the update
// lock. False, with lastFileFailure set, when the file could not be read or
// is not whole bookings (nothing is written: nothing in it is dropped), or
// could not be written.
bool appendScheduleRecord(const char* path, const std::vector<int>& record);

}  // namespace cm
