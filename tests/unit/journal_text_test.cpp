// The journal's text, read by the storage engine alone: only entries that
// name the folder's data files count.
#include "store/journal_text.h"

#include <gtest/gtest.h>

namespace cm {
namespace {

// However whole, an entry that names any file but the folder's data files
// is not ours: a journal written by anyone else never makes a program write
// elsewhere. What came before it still counts.
TEST(JournalTextTest, OnlyEntriesThatNameTheDataFilesCount) {
  // Names of the engine's tests' own, kept as the machine keeps its files.
  const KeptFile files[] = {{"level"},
                            {"bookings", [](std::string_view, const std::vector<int>&, std::optional<std::string>&) {
                               return std::optional<std::string>();
                             }}};
  const Entry ours{{{"level", "1000", "700"}}, {{"bookings", {12241830, 300, 0}}}};
  const std::string text = entryText(ours);
  for (const char* elsewhere : {"../level", "/etc/passwd", ".coffee_machine.lock"}) {
    Entry write = ours;
    write.writes[0].path = elsewhere;
    Entry consume = ours;
    consume.consumes[0].path = elsewhere;
    for (const Entry& theirs : {write, consume}) {
      const JournalText parsed = parseJournal(text + entryText(theirs), files);
      EXPECT_EQ(parsed.last, ours) << elsewhere;
      EXPECT_EQ(parsed.wholeUpTo, text.size()) << elsewhere;
    }
  }
}

}  // namespace
}  // namespace cm
