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
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cm {

// What the layers that own the folder's data files tell the engine of each:
// its name, and for a file of bookings how a consumed booking leaves its
// text (the text without the first booking equal to `booking` into `after`,
// left empty when it holds none; or why the text is not understood). Only
// these files may be named by a journal entry, a booking only in a file
// that has a way out for it.
struct KeptFile {
  const char* path;
  std::optional<std::string> (*withoutBooking)(std::string_view text, const std::vector<int>& booking,
                                               std::optional<std::string>& after) = nullptr;
};

// The kept file of that name; nullptr when there is none.
const KeptFile* keptFile(std::span<const KeptFile> files, std::string_view name);

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

struct JournalText {
  std::optional<Entry> last;  // the last whole entry
  std::size_t wholeUpTo = 0;  // where the whole entries end
  bool more = false;          // bytes follow them
};

// Up to `size` bytes of the journal from `offset` on, appended to `bytes`;
// fewer only at its end. False when they could not be read.
using JournalBytes = std::function<bool(std::size_t offset, std::size_t size, std::string& bytes)>;

// The whole entries at the start of the journal, up to the first that is
// torn, damaged or not ours; nothing when a read failed. An entry that names
// a file other than the folder's data files (`files`), a booking in a file
// that has none, or a booking without numbers, is not ours: a journal
// written by anyone else never makes a program write elsewhere. The entries are read one at a time, each no longer than the
// journal holds, and what is not an entry no further than an entry's first
// line: a lock file someone else filled costs no memory.
std::optional<JournalText> readJournal(const JournalBytes& read, std::span<const KeptFile> files);
// The same, of a journal's whole text. No program calls it: the tests and
// the journal's fuzzer do.
JournalText parseJournal(std::string_view text, std::span<const KeptFile> files);

}  // namespace cm
