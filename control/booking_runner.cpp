#include "control/booking_runner.h"

#include <algorithm>
#include <vector>

#include "control/main_controller.h"
#include "machine/registers.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal.h"

namespace cm {

std::mutex machineMutex;

namespace {

// Bookings whose sequence could not be written (its claim, its charge or its
// removal from the file): this program does not fire them again, where it
// would only fail again once a second. They stay in their files.
std::vector<ReserveRecord> failedBrews;
std::vector<int> failedCleanings;

template <typename Booking>
bool failedBefore(const std::vector<Booking>& failed, const Booking& booking) {
  return std::find(failed.begin(), failed.end(), booking) != failed.end();
}

BrewSchedule fireableBrews() {
  BrewSchedule open = reserveList;
  std::erase_if(open.bookings, [](const ReserveRecord& r) { return failedBefore(failedBrews, r); });
  return open;
}

CleanSchedule fireableCleanings() {
  CleanSchedule open = cleanList;
  std::erase_if(open.times, [](int time) { return failedBefore(failedCleanings, time); });
  return open;
}

// A claimed sequence that could not start (its lock or what a dead program
// left could not be written) is told, and its booking not fired again.
template <typename Booking>
bool couldNotStart(const Booking& booking, std::vector<Booking>& failed) {
  failed.push_back(booking);
  reportFileFailure();
  return true;
}

// After the sequence the booking leaves its file; a booking whose charge or
// removal could not be written stays, and is not fired again.
template <typename Booking>
void endSequence(Sequence& sequence, const Booking& booking, std::vector<Booking>& failed) {
  if (sequence.failed()) {
    failed.push_back(booking);  // its sequence has told it
  } else if (!sequence.finish()) {
    failed.push_back(booking);
    reportFileFailure();
  }
}

// A booking file whose text is not whole bookings fires nothing until it is
// mended, and nothing in it is written over; the machine says where it went
// wrong, once for each version of the file.
template <typename Schedule>
bool toldTextFault(Schedule& schedule) {
  if (!schedule.textFault || schedule.textFaultTold) return false;
  schedule.textFaultTold = true;
  lastFileFailure = schedule.textFault;
  reportFileFailure();
  return true;
}

}  // namespace

void resetFailedBookings() {
  failedBrews.clear();
  failedCleanings.clear();
}

// The booking fired is the one found due before the sequence, looked up
// with the stamp that found it: the screens of the sequence move the clock
// on, and after New Year's Eve a fresh stamp would no longer find a December
// booking. It leaves the file as it is then, so bookings added or removed
// meanwhile (by hand, by the other program) stay as they are.
bool fireDueBrew(int now) {
  followReserveFile(reserveList);
  if (toldTextFault(reserveList)) return true;
  if (isReserveTime(fireableBrews(), now) == 0) return false;
  // One machine runs one sequence at a time: while another program runs
  // one, this one leaves the booking for a later pass.
  Sequence sequence(Wait::no);
  if (sequence.busy()) return false;
  followReserveFile(reserveList);  // the claim's last holder may just have fired this booking
  const BrewSchedule open = fireableBrews();
  if (isReserveTime(open, now) == 0) return false;
  const ReserveRecord booking = whatReserve(open, now);
  if (!sequence.ready()) return couldNotStart(booking, failedBrews);
  sequence.fires(kReserveFile, {booking.time, booking.concentrate, booking.temperature});
  brewWithLevelsNow(searchList(open, now));
  endSequence(sequence, booking, failedBrews);
  followReserveFile(reserveList);
  return true;
}

bool fireDueCleaning(int now) {
  followCleanFile(cleanList);
  if (toldTextFault(cleanList)) return true;
  if (isCleanTime(fireableCleanings(), now) == 0) return false;
  Sequence sequence(Wait::no);
  if (sequence.busy()) return false;
  followCleanFile(cleanList);
  const CleanSchedule open = fireableCleanings();
  if (isCleanTime(open, now) == 0) return false;
  const int booking = whatClean(open, now);
  if (!sequence.ready()) return couldNotStart(booking, failedCleanings);
  sequence.fires(kCleanReserveFile, {booking});
  mainController(1, 0, 0, 0, 0, nonData, 0);
  endSequence(sequence, booking, failedCleanings);
  followCleanFile(cleanList);
  return true;
}

}  // namespace cm
