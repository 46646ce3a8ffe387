// Brews booked for a later minute, kept in the order they were booked and
// mirrored to "reserveData.txt" (store/data_text.h).
#pragma once

#include <vector>

#include "machine/registers.h"
#include "store/data_file.h"

namespace cm {

// A booking: minute stamp MMDDHHMM, concentrate code, temperature code.
struct ReserveRecord {
  int time;
  int concentrate;
  int temperature;
  friend bool operator==(const ReserveRecord&, const ReserveRecord&) = default;
};

// The schedule, in insertion order; never sorted, equal times allowed. It is
// a cache of its file: `loadedFrom` is the file's identity when it was read.
struct BrewSchedule {
  std::vector<ReserveRecord> bookings;
  FileIdentity loadedFrom;
};

extern BrewSchedule reserveList;

BrewSchedule& initList(BrewSchedule& head);
void addList(const ReserveRecord& record, BrewSchedule& head);
// Removes the first booking equal to the record (time, concentrate and
// temperature: a twin with the same minute stays); nothing when none. No
// program calls it: a fired booking leaves its file through the journal
// (store/journal.h) and the list follows the file.
void deleteList(const ReserveRecord& record, BrewSchedule& head);

// Rewrites the file from the list; false when it could not be written. No
// program calls it: a booking is appended to the file as it is now.
bool pushReserveFile(const BrewSchedule& head);
// Loads the file in its order. A missing file is an empty schedule, and so
// is one that cannot be read, until it can; loading stops at the first
// thing that is not a number and an incomplete last booking is dropped.
void popReserveFile(BrewSchedule& head);
// Loads the file again when it has changed since it was read (a hand edit,
// the other program): a stat when it has not.
void followReserveFile(BrewSchedule& head);

// Appends a booking to the file as it is now, under the folder's update
// lock, and keeps reserveList in step with the file. False, with
// lastFileFailure set, when it could not be written.
bool pushReserveData(int time, int concentrate, int temperature);

// The due test: the first booking in list order whose time is at or before
// `now`. isReserveTime gives its time (0: nothing due), searchList its coffee
// request ({0, 0}: none) and whatReserve the whole booking ({0, 0, 0}: none).
int isReserveTime(const BrewSchedule& head, int now);
CoffeeRequest searchList(const BrewSchedule& head, int now);
ReserveRecord whatReserve(const BrewSchedule& head, int now);

// The reserve list screen, held 5 seconds (2 when it has nothing to show);
// the clean list screen holds as long.
inline constexpr int kEmptyListHoldSeconds = 2;
inline constexpr int kListHoldSeconds = 5;
void printAllList(const BrewSchedule& head);
// The times for the status header, no clear and no wait.
void printReserveTime(const BrewSchedule& head);

}  // namespace cm
