// The folder's two locks, which the kernel lets go when their holder dies:
//   - the update lock, on the lock file ".coffee_machine.lock" (created by
//     the first change), held for one change of the data files and never
//     across a screen or a pause, so the wait for it is never long;
//   - the sequence claim, on the folder itself, held for a whole sequence
//     (journal.h), so one runs at a time, whichever program asks.
// Both are flock(2) locks, which Linux, macOS and the BSDs all keep per
// open file: each is taken on a descriptor opened for it alone, so the
// threads of one program are kept apart too, and closing another
// descriptor of the same file lets go of nothing. The lock file's content
// is the journal (journal.h).
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
  // The file it locks, while held.
  int fd() const { return fd_; }

 protected:
  // `open` gives a new descriptor of `what` (as a failure names it), or -1
  // with errno set.
  FolderLock(int (*open)(), const char* what, Wait wait);

 private:
  int fd_ = -1;
  bool busy_ = false;
  FileResult failure_;
};

// Waited for: another program holds it for a moment only. fd() is the
// lock file's.
class UpdateLock : public FolderLock {
 public:
  UpdateLock();
};

// Tried by a booking, waited for by the menu.
class SequenceClaim : public FolderLock {
 public:
  explicit SequenceClaim(Wait wait);
};

}  // namespace cm
