// Every change of the folder's data files happens whole and once, whatever
// ends a program (a kill, a power cut, a closed window), and every sequence
// (a long piece of work, which may consume a booking) runs alone in the
// folder. Which files there are, and how a booking leaves its file, the
// layers that own them say (keepFiles).
//
// A change is made under the update lock (folder_lock.h). Before it touches
// a second file or consumes a booking, it is written down in the journal,
// the content of the lock file, and synced: the new bytes of each file and
// the bookings consumed (journal_text.h). After the change the journal is
// cleared. Whoever takes the update lock next and finds what a dead program
// left finishes it: the file writes are made again (the same bytes, so
// twice is once), and a booking whose sequence died with its program
// leaves its file.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data_file.h"
#include "folder_lock.h"
#include "journal_text.h"

namespace cm {

// The folder's data files, as the layers that own them name them: the only
// files a journal entry may name, and those whose temporary files a start
// removes. Given before the folder is opened.
void keepFiles(std::vector<KeptFile> files);

// The last change that could not be written, kept until it is reported.
// Each change forgets the previous one's failure when it starts.
extern std::optional<FileError> lastFileFailure;
// Back to the power-on state, as a test begins.
void resetFileFailure();

// Start-up: nothing when this program can change the folder's files; after
// it has finished what a program killed in the folder left, and removed
// the temporary files such programs left. Otherwise why not (`file` is
// empty when the folder itself cannot be written).
[[nodiscard]] FileResult openFolder();

// A data file as a change finds it and leaves it: `after` starts as
// `before`, and a file whose `after` differs is written.
struct FileChange {
  const char* path;
  std::optional<std::string> before;  // nothing: the file is missing
  std::optional<std::string> after;
};

// Settles::yes: the change also consumes the booking of the running Sequence
// (Sequence::running()), in the same journal entry, once per sequence; with
// no booked sequence running, nothing.
enum class Settles { no, yes };

// One change of data files, all or nothing. Under the update lock `edit`
// gets the files as they are at this moment and sets their new bytes, or
// refuses the change (a file it does not understand); the changed files are
// then written together. False, with lastFileFailure set, when a file could
// not be read or was refused (nothing is written) or could not be written.
bool changeFiles(std::initializer_list<const char*> paths,
                 const std::function<FileResult(std::span<FileChange>)>& edit, Settles settles = Settles::no);

// The running sequence ended without a charge (a refusal): its booking is
// consumed now. Nothing when no booked sequence runs. False, with
// lastFileFailure set, when that could not be written: the booking then
// stays, as after a charge that failed.
[[nodiscard]] bool settleBooking();

// A step of the running sequence could not be done (a charge could not be
// written, a level it checks could not be read): a booked sequence's
// booking then stays in its file.
void sequenceFailed();

// One sequence: the claim it runs under, the booking it fires (if booked),
// and the booking's removal from its file once the sequence has ended. A
// program makes one at a time, which running() relies on (its callers keep
// its threads from starting two). A second one made meanwhile is a fault in
// the code: it ends the program in a build with assertions, as the tests'
// are.
class Sequence {
 public:
  // A booking only tries the claim (Wait::no): while another program runs
  // a sequence, it waits for a later pass. The menu waits for the claim.
  // Once it has the claim, whatever a dead holder left is finished before
  // anything else.
  explicit Sequence(Wait forClaim);
  ~Sequence();
  Sequence(const Sequence&) = delete;
  Sequence& operator=(const Sequence&) = delete;

  // Another program runs a sequence: leave the booking for a later pass.
  bool busy() const { return claim_.busy(); }
  // Claimed and recovered: the sequence may run. When neither busy nor
  // ready, lastFileFailure says what went wrong.
  bool ready() const { return ready_; }

  // The booking the sequence fires: its file (one kept with a way out for
  // its bookings) and its numbers.
  void fires(const char* path, std::vector<int> record);
  bool failed() const { return failed_; }
  // After the sequence: the booking leaves its file as it is now. False,
  // with lastFileFailure set, when that could not be written.
  bool finish();

  // The sequence this program runs now; nullptr between sequences.
  static const Sequence* running() { return running_; }
  // The booking a change that settles (Settles::yes) is to consume: the one
  // the sequence fires, until a charge or a refusal has consumed it.
  const Consumption* bookingToConsume() const { return booking_ && !recorded_ ? &*booking_ : nullptr; }
  // Its booking once a charge or a refusal has consumed it in the journal:
  // the sequence's own end takes it out of its file, not a recovery.
  const Consumption* consumedBooking() const { return recorded_ ? &*booking_ : nullptr; }

 private:
  // Only the engine's changes move a sequence on.
  friend bool changeFiles(std::initializer_list<const char*>,
                          const std::function<FileResult(std::span<FileChange>)>&, Settles);
  friend void sequenceFailed();
  // A step of the sequence could not be done: its booking stays.
  void stepFailed() {
    if (booking_) failed_ = true;
  }
  // A change has consumed its booking in the journal.
  void bookingConsumed() { recorded_ = booking_.has_value(); }

  static Wait alone(Wait forClaim);

  static Sequence* running_;
  SequenceClaim claim_;
  bool ready_ = false;
  std::optional<Consumption> booking_;
  bool recorded_ = false;  // its consumption is in the journal
  bool failed_ = false;
};

}  // namespace cm
