// The journal's text, as it stands in the lock file: what one change
// promises to write and which bookings it consumes. Pure functions: the
// bytes parsed may have been written by anyone.
//
// Entries follow one another; the last whole one tells the state. Each is
// "entry <length> <checksum>\n" and a body of that length, lines of
//   write <file> <length before, or - when missing> <length after>\n
//     <bytes before><bytes after>\n
//   consume <file> <the booking's numbers>\n
// The checksum (64-bit FNV-1a of the body) tells a whole entry from one that
// a crash cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cm {

// A booking consumed by a sequence: its file and its numbers, as many as a
// booking of that file holds.
struct Consumption {
  std::string path;
  std::vector<int> record;
  friend bool operator==(const Consumption&, const Consumption&) = default;
};

// A write the journal promises: what the file held (nothing: it was
// missing) and what it is to hold.
struct PromisedWrite {
  std::string path;
  std::optional<std::string> before;
  std::string after;
  friend bool operator==(const PromisedWrite&, const PromisedWrite&) = default;
};

struct Entry {
  std::vector<PromisedWrite> writes;
  std::vector<Consumption> consumes;
  friend bool operator==(const Entry&, const Entry&) = default;
};

std::string entryText(const Entry& entry);
// The checksum an entry's header carries for its body.
std::uint64_t entryChecksum(std::string_view body);

// An entry's first line, "entry <length> <checksum>\n": its own length and
// what it says of the body that follows.
struct EntryHeader {
  std::size_t size;
  std::size_t bodySize;
  std::uint64_t checksum;
};
// No first line of ours is longer.
inline constexpr std::size_t kLongestEntryHeader = 64;
// The first line at the start of `text`; nothing when there is none.
std::optional<EntryHeader> parseEntryHeader(std::string_view text);
// The entry of that header whose body is `body`; nothing when the body is
// damaged or not ours (see parseJournal).
std::optional<Entry> parseEntry(const EntryHeader& header, std::string_view body);

struct JournalText {
  std::optional<Entry> last;  // the last whole entry
  std::size_t wholeUpTo = 0;  // where the whole entries end
};

// The whole entries at the start of `text`, up to the first that is torn,
// damaged or not ours. An entry that names a file other than the folder's
// data files, or a booking without numbers, is not ours: a journal written
// by anyone else never makes a program write elsewhere.
JournalText parseJournal(std::string_view text);

}  // namespace cm
