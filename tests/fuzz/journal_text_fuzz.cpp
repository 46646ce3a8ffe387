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

#include "store/data_file.h"
#include "store/journal_text.h"

namespace {

void checkParsed(std::string_view text) {
  const cm::JournalText journal = cm::parseJournal(text);
  if (journal.wholeUpTo > text.size() || journal.last.has_value() != (journal.wholeUpTo > 0)) std::abort();
  if (!journal.last) return;
  const auto isDataFile = [](const std::string& name) {
    return std::find(std::begin(cm::kDataFiles), std::end(cm::kDataFiles), name) != std::end(cm::kDataFiles);
  };
  for (const cm::PromisedWrite& write : journal.last->writes) {
    if (!isDataFile(write.path)) std::abort();
  }
  for (const cm::Consumption& consumed : journal.last->consumes) {
    if (!isDataFile(consumed.path) || consumed.record.empty()) std::abort();
  }
  const std::string again = cm::entryText(*journal.last);
  const cm::JournalText reread = cm::parseJournal(again);
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
