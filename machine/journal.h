// What every program working in the folder shares besides the data files:
// the locks, and the record that makes each change happen whole and once,
// whatever ends a program (a kill, a power cut, a closed window).
//
// Both live on one hidden file, ".coffee_machine.lock", created by the first
// change. Two locks on two of its bytes, which the kernel releases when
// their holder dies:
//   - the update lock (byte 0), held for one change of the data files;
//   - the sequence claim (byte 1), held for a whole brew or cleaning, so
//     one machine runs one sequence at a time, whichever program asks.
// Its content is the journal. Before a change touches a second file or
// consumes a booking, it is written there and synced: the new bytes of each
// file and the bookings consumed. After the change it is cleared. Whoever
// takes the update lock next and finds what a dead program left finishes
// it: the file writes are made again (the same bytes, so twice is once),
// and a booking whose sequence died with its program leaves its file.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "machine/data_file.h"

namespace cm {

inline constexpr const char* kLockFile = ".coffee_machine.lock";

// The last change that could not be written, kept until it is reported.
// Each change forgets the previous one's failure when it starts.
extern std::optional<WriteError> lastWriteFailure;

// Start-up: nothing when this program can change the folder's files; after
// it has finished what a program killed in the folder left. Otherwise why
// not (`file` is empty when the folder itself cannot be written).
[[nodiscard]] WriteResult openFolder();

// A data file as a change finds it and leaves it: `after` starts as
// `before`, and a file whose `after` differs is written.
struct FileChange {
  const char* path;
  std::optional<std::string> before;  // nothing: the file is missing
  std::optional<std::string> after;
};

enum class Settles { no, yes };

// One change of data files, all or nothing. Under the update lock `edit`
// gets the files as they are at this moment and sets their new bytes; the
// changed files are then written together. With Settles::yes the change
// also consumes the booking of the running booked sequence, in the same
// step. False, with lastWriteFailure set, when it could not be written.
bool changeFiles(std::initializer_list<const char*> paths,
                 const std::function<void(std::span<FileChange>)>& edit, Settles settles = Settles::no);

// The running booked sequence ended without a charge (a refusal): its
// booking is consumed now. Nothing when no booked sequence runs. False, with
// lastWriteFailure set, when that could not be written: the booking then
// stays, as after a charge that failed.
[[nodiscard]] bool settleBooking();

// One sequence of the machine, a brew or a cleaning: the claim it runs
// under, the booking it fires (if booked), and the booking's removal from
// its file once the sequence has ended.
class Sequence {
 public:
  // A booking only tries the claim: while another program runs a sequence,
  // it waits for a later pass. The menu waits for the claim.
  enum class Claim { tried, awaited };
  // Once it has the claim, whatever a dead holder left is finished before
  // anything else.
  explicit Sequence(Claim claim);
  ~Sequence();
  Sequence(const Sequence&) = delete;
  Sequence& operator=(const Sequence&) = delete;

  // Another program runs a sequence: leave the booking for a later pass.
  bool busy() const { return state_ == State::busy; }
  // Claimed and recovered: the sequence may run. When neither busy nor
  // ready, lastWriteFailure says what went wrong.
  bool ready() const { return state_ == State::ready; }

  // The booking the sequence fires: its file and its numbers (time,
  // concentrate, temperature; a cleaning only its time).
  void fires(const char* path, std::vector<int> record);
  // A charge of the sequence could not be written: its booking stays.
  bool chargeFailed() const;
  // After the sequence: the booking leaves its file as it is now. False,
  // with lastWriteFailure set, when that could not be written.
  bool finish();

 private:
  enum class State { busy, failed, ready };
  int claimFd_ = -1;
  State state_ = State::failed;
};

}  // namespace cm
