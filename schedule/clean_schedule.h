// Cleanings booked for a later minute, in booking order, mirrored to
// "cleanReserveData.txt" (schedule/booking_text.h).
#pragma once

#include <optional>
#include <vector>

#include "store/data_file.h"

namespace cm {

inline constexpr const char* kCleanReserveFile = "cleanReserveData.txt";

// A cache of its file, like the brew schedule.
struct CleanSchedule {
  std::vector<int> times;
  FileIdentity loadedFrom;
  std::optional<FileError> textFault;
  bool textFaultTold = false;
};

extern CleanSchedule cleanList;

CleanSchedule& initClist(CleanSchedule& head);
// No program calls it: loading takes the file's times whole.
void addClist(int time, CleanSchedule& head);
// Removes the first booking with that time; nothing when none. No program
// calls it: a fired booking leaves its file through the journal.
void deleteClist(int time, CleanSchedule& head);

// Rewrites the file from the list; false when it could not be written. No
// program calls it: a booking is appended to the file as it is now.
bool pushCleanFile(const CleanSchedule& head);
// As the brew schedule loads: one booking a line, its time.
void popCleanFile(CleanSchedule& head);
void followCleanFile(CleanSchedule& head);
// Appends to the file as it is now, under the update lock; false, with
// lastFileFailure set, when the file could not be read or understood, or
// could not be written.
bool pushCleanData(int time);

// The first booking in list order due at `now` (isDue, brew_schedule.h); 0
// when none is.
int isCleanTime(const CleanSchedule& head, int now);
int whatClean(const CleanSchedule& head, int now);

// The clean list screen, held as the reserve list is (brew_schedule.h).
void printAllClist(const CleanSchedule& head);
void printCleanTime(const CleanSchedule& head);

}  // namespace cm
