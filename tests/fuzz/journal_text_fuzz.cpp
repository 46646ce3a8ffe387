// Any bytes in the lock file parse without harm: only whole entries count,
// they name nothing but the folder's data files, and an entry written again
// reads back the same. Random bytes seldom carry their checksum, so the
// input is also read as the body of an entry with the right one.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "machine/material_store.h"
#include "schedule/booking_text.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal_text.h"

namespace {

// The folder's data files as the programs keep them.
const cm::KeptFile kFiles[] = {{cm::kWaterFile},
                               {cm::kPowderFile},
                               {cm::kBeanFile},
                               {cm::kReserveFile, cm::withoutBooking},
                               {cm::kCleanReserveFile, cm::withoutBooking}};

void checkParsed(std::string_view text) {
  const cm::JournalText journal = cm::parseJournal(text, kFiles);
  if (journal.wholeUpTo > text.size() || journal.last.has_value() != (journal.wholeUpTo > 0)) std::abort();
  if (!journal.last) return;
  const auto isDataFile = [](const std::string& name) {
    return std::any_of(std::begin(kFiles), std::end(kFiles), [&](const cm::KeptFile& f) { return f.path == name; });
  };
  for (const cm::PromisedWrite& write : journal.last->writes) {
    if (!isDataFile(write.path)) std::abort();
  }
  for (const cm::Consumption& consumed : journal.last->consumes) {
    if (!isDataFile(consumed.path) || consumed.record.empty()) std::abort();
  }
  const std::string again = cm::entryText(*journal.last);
  const cm::JournalText reread = cm::parseJournal(again, kFiles);
  if (reread.last != journal.last || reread.wholeUpTo != again.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkParsed(bytes);
  char header[64];
  std::snprintf(header, sizeof header, "entry %zu %016" PRIx64 "\n", size, cm::entryChecksum(bytes));
  checkParsed(std::string(header).append(bytes));
  return 0;
}
