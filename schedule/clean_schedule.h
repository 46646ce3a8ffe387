// Cleanings booked for a later minute, in booking order, mirrored to
// "cleanReserveData.txt" (store/data_text.h).
#pragma once

#include <vector>

#include "store/data_file.h"

namespace cm {

// A cache of its file, like the brew schedule.
struct CleanSchedule {
  std::vector<int> times;
  FileIdentity loadedFrom;
};

extern CleanSchedule cleanList;

CleanSchedule& initClist(CleanSchedule& head);
void addClist(int time, CleanSchedule& head);
// Removes the first booking with that time; nothing when none. No program
// calls it: a fired booking leaves its file through the journal.
void deleteClist(int time, CleanSchedule& head);

// Rewrites the file from the list; false when it could not be written. No
// program calls it: a booking is appended to the file as it is now.
bool pushCleanFile(const CleanSchedule& head);
// A missing file is an empty schedule; loading stops at the first thing that
// is not a number.
void popCleanFile(CleanSchedule& head);
void followCleanFile(CleanSchedule& head);
// Appends to the file as it is now, under the update lock; false, with
// lastFileFailure set, when it could not be written.
bool pushCleanData(int time);

// The first booking in list order at or before `now`; 0 when none is due.
int isCleanTime(const CleanSchedule& head, int now);
int whatClean(const CleanSchedule& head, int now);

// The clean list screen, held as the reserve list is (brew_schedule.h).
void printAllClist(const CleanSchedule& head);
void printCleanTime(const CleanSchedule& head);

}  // namespace cm
