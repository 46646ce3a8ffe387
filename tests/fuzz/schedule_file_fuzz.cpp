// Any bytes in a schedule file load without harm, and the loaded schedule
// survives a write and a reload unchanged. Built twice: for the brew and
// for the cleaning schedule.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_folder.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cm::fuzz::enterScratchFolder();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
#ifdef FUZZ_CLEAN_SCHEDULE
  if (cm::rewriteFile(cm::kCleanReserveFile, bytes)) std::abort();
  cm::popCleanFile(cm::cleanList);
  const auto loaded = cm::cleanList.times;
  if (!cm::pushCleanFile(cm::cleanList)) std::abort();
  cm::popCleanFile(cm::cleanList);
  if (cm::cleanList.times != loaded) std::abort();
  for (int time : loaded) (void)cm::isCleanTime(cm::cleanList, time);
#else
  if (cm::rewriteFile(cm::kReserveFile, bytes)) std::abort();
  cm::popReserveFile(cm::reserveList);
  const auto loaded = cm::reserveList.bookings;
  if (!cm::pushReserveFile(cm::reserveList)) std::abort();
  cm::popReserveFile(cm::reserveList);
  if (cm::reserveList.bookings != loaded) std::abort();
  // The due test and the deletion always agree on the booking.
  for (const auto& booking : loaded) {
    const cm::ReserveRecord due = cm::whatReserve(cm::reserveList, booking.time);
    if (due.time != cm::isReserveTime(cm::reserveList, booking.time)) std::abort();
    const std::size_t before = cm::reserveList.bookings.size();
    cm::deleteList(due, cm::reserveList);
    if (due.time != 0 && cm::reserveList.bookings.size() != before - 1) std::abort();
  }
#endif
  return 0;
}
