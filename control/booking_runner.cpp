#include "control/booking_runner.h"

#include "control/main_controller.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {

std::mutex machineMutex;

// The booking to remove is looked up with the same stamp that found it due:
// the screens of the sequence move the clock on, and after New Year's Eve a
// fresh stamp would no longer find a December booking.
bool fireDueBrew(int now) {
  if (isReserveTime(reserveList, now) == 0) return false;
  const CoffeeRequest request = searchList(reserveList, now);
  const int powder = powderInterface();
  const int beans = beanInterface();
  const int water = waterInterface();
  mainController(0, 0, water, beans, powder, request, 0);
  deleteList(whatReserve(reserveList, now), reserveList);
  pushReserveFile(reserveList);
  return true;
}

bool fireDueCleaning(int now) {
  if (isCleanTime(cleanList, now) == 0) return false;
  mainController(1, 0, 0, 0, 0, nonData, 0);
  deleteClist(whatClean(cleanList, now), cleanList);
  pushCleanFile(cleanList);
  return true;
}

}  // namespace cm
