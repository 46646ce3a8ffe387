#include "control/booking_runner.h"

#include "control/main_controller.h"
#include "machine/folder_lock.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {

std::mutex machineMutex;

// The booking to remove is the one found due before the sequence, looked up
// with the stamp that found it: the screens of the sequence move the clock
// on, and after New Year's Eve a fresh stamp would no longer find a December
// booking. It leaves the file as it is then, so bookings added or removed
// meanwhile (by hand, by the other program) stay as they are.
bool fireDueBrew(int now) {
  followReserveFile(reserveList);
  if (isReserveTime(reserveList, now) == 0) return false;
  // At most one booked sequence runs in the folder: while another program
  // runs one, this one leaves the booking for a later pass.
  BookingClaim claim;
  if (!claim.held()) return false;
  followReserveFile(reserveList);  // the claim's last holder may just have fired this booking
  if (isReserveTime(reserveList, now) == 0) return false;
  const ReserveRecord booking = whatReserve(reserveList, now);
  const CoffeeRequest request = searchList(reserveList, now);
  const int powder = powderInterface();
  const int beans = beanInterface();
  const int water = waterInterface();
  mainController(0, 0, water, beans, powder, request, 0);
  deleteReserveData(booking);
  return true;
}

bool fireDueCleaning(int now) {
  followCleanFile(cleanList);
  if (isCleanTime(cleanList, now) == 0) return false;
  BookingClaim claim;
  if (!claim.held()) return false;
  followCleanFile(cleanList);
  if (isCleanTime(cleanList, now) == 0) return false;
  const int booking = whatClean(cleanList, now);
  mainController(1, 0, 0, 0, 0, nonData, 0);
  deleteCleanData(booking);
  return true;
}

}  // namespace cm
