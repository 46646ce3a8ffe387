// The folder's lock file, ".coffee_machine.lock", created by the first change
// or sequence, and its two locks, which the kernel lets go when their holder
// dies:
//   - the update lock (byte 0), held for one change of the data files and
//     never across a screen or a pause, so the wait for it is never long;
//   - the sequence claim (byte 1), held for a whole brew or cleaning, so one
//     machine runs one sequence at a time, whichever program asks.
// Each lock is taken on a descriptor of its own (an open-file-description
// lock), so the threads of one program are kept apart too. The file's
// content is the journal (journal.h).
#pragma once

#include <sys/types.h>

#include "data_file.h"

namespace cm {

inline constexpr const char* kLockFile = ".coffee_machine.lock";

enum class Wait { no, yes };

// One of the two locks, held from its construction to its destruction.
class FolderLock {
 public:
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool held() const { return fd_ >= 0; }
  // Not held because another program holds it (when only tried).
  bool busy() const { return busy_; }
  // Why it is not held, when not busy.
  const FileResult& failure() const { return failure_; }
  // The lock file, while held.
  int fd() const { return fd_; }

 protected:
  FolderLock(off_t byte, Wait wait);

 private:
  int fd_ = -1;
  bool busy_ = false;
  FileResult failure_;
};

// Waited for: another program holds it for a moment only.
class UpdateLock : public FolderLock {
 public:
  UpdateLock() : FolderLock(0, Wait::yes) {}
};

// Tried by a booking, waited for by the menu.
class SequenceClaim : public FolderLock {
 public:
  explicit SequenceClaim(Wait wait) : FolderLock(1, wait) {}
};

}  // namespace cm
