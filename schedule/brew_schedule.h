// Brews booked for a later minute, kept in the order they were booked and
// mirrored to "reserveData.txt" (schedule/booking_text.h).
#pragma once

#include <optional>
#include <vector>

#include "machine/registers.h"
#include "store/data_file.h"

namespace cm {

inline constexpr const char* kReserveFile = "reserveData.txt";

// A booking: minute stamp MMDDHHMM, concentrate code, temperature code.
struct ReserveRecord {
  int time;
  int concentrate;
  int temperature;
  friend bool operator==(const ReserveRecord&, const ReserveRecord&) = default;
};

// The schedule, in insertion order; never sorted, equal times allowed. It is
// a cache of its file: `loadedFrom` is the file's identity when it was read.
// A file whose text is not whole bookings loads as an empty schedule, as an
// unreadable one does, with `textFault` saying where it went wrong until the
// file changes; `textFaultTold` once the machine has said it.
struct BrewSchedule {
  std::vector<ReserveRecord> bookings;
  FileIdentity loadedFrom;
  std::optional<FileError> textFault;
  bool textFaultTold = false;
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
// is one that cannot be read, until it can, and one whose text is not whole
// bookings, until it changes.
void popReserveFile(BrewSchedule& head);
// Loads the file again when it has changed since it was read (a hand edit,
// the other program): a stat when it has not.
void followReserveFile(BrewSchedule& head);

// Appends a booking to the file as it is now, under the folder's update
// lock, and keeps reserveList in step with the file. False, with
// lastFileFailure set, when the file could not be read or understood, or
// could not be written.
bool pushReserveData(int time, int concentrate, int temperature);

// A booking's minute stamp carries no year: it names the next time its
// minute comes round. It is due at `now` when that minute came within the
// last half year (missed while no program ran, or just passed) and waits
// while it is still to come within the next half year: on 31 December a
// booking for 1 January waits for the night. 29 February is a minute of the
// year too: in a common year its booking comes due with 1 March. A time that
// names no minute (and a `now` that names none) is never due.
bool isDue(int time, int now);

// The due test: the first booking in list order that is due at `now`.
// isReserveTime gives its time (0: nothing due), searchList its coffee
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
