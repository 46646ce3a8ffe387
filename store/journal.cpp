#include "journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>

#include "disk.h"

namespace cm {

std::optional<FileError> lastFileFailure;
std::vector<KeptFile> keptFiles;
Sequence* Sequence::running_ = nullptr;

namespace {

bool fail(FileError error) {
  lastFileFailure = std::move(error);
  return false;
}

// ---- The journal, under the update lock

class Journal {
 public:
  explicit Journal(int fd) : fd_(fd) {}

  // A read that fails fails the opening: nothing is ever written over
  // bytes that were not read.
  FileResult read() {
    int error = 0;
    std::optional<JournalText> text =
        readJournal(
            [&](std::size_t offset, std::size_t size, std::string& bytes) {
              if (disk::readAt(fd_, static_cast<off_t>(offset), size, bytes, kLockFile)) return true;
              error = errno;
              return false;
            },
            keptFiles);
    if (!text) return FileError{kLockFile, error, FileAccess::read};
    last_ = std::move(text->last);
    end_ = static_cast<off_t>(text->wholeUpTo);
    tornTail_ = text->more;
    return std::nullopt;
  }

  const std::vector<Consumption>& pending() const { return pending_; }

  // Finishes what a dead program left: its file writes, and the bookings of
  // its sequences. While `running` holds the claim, every consumption but
  // its own is a dead program's; without the claim, one is when the claim
  // is free.
  bool recover(const Sequence* running) {
    if (tornTail_) {
      // A torn last entry: it never counted, and the next would hide behind it.
      if (auto error = truncateTo(end_)) return fail(*error);
    }
    if (!last_) return true;
    for (const PromisedWrite& write : last_->writes) {
      std::optional<std::string> now;
      // Not known to be done: the entry stays, for the next holder to try.
      if (auto error = readDataFile(write.path.c_str(), now)) return fail(*error);
      // Done already, or changed by hand since: the file stays as it is.
      if (now == write.after || now != write.before) continue;
      if (auto error = rewriteFile(write.path.c_str(), write.after)) return fail(*error);
    }
    pending_ = last_->consumes;
    bool journalUpToDate = last_->writes.empty();
    const Consumption* own = running ? running->consumedBooking() : nullptr;
    for (const Consumption& consumed : std::vector(pending_)) {
      if (own && *own == consumed) continue;
      std::optional<SequenceClaim> claim;
      if (!running) {
        claim.emplace(Wait::no);
        if (!claim->held()) continue;  // its sequence may still be running
      }
      std::vector<Consumption> rest = pending_;
      rest.erase(std::find(rest.begin(), rest.end(), consumed));
      if (!removeBooking(consumed, std::move(rest))) return false;
      journalUpToDate = true;
    }
    if (!journalUpToDate) {
      if (auto error = recordPending()) return fail(*error);
    }
    return true;
  }

  // Makes `writes` land together and leaves `pendingAfter` as the bookings
  // consumed. The journal is written first unless a single file changes and
  // nothing else does: its rename alone is all or nothing.
  bool commit(const std::vector<PromisedWrite>& writes, const std::vector<Consumption>& pendingAfter) {
    const bool recorded = writes.size() > 1 || pendingAfter != pending_;
    if (writes.empty()) {
      if (!recorded) return true;
      pending_ = pendingAfter;
      if (auto error = recordPending()) return fail(*error);
      return true;
    }
    std::vector<StagedFile> staged(writes.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
      if (auto error = stageFile(writes[i].path.c_str(), writes[i].after, staged[i])) {
        std::for_each(staged.begin(), staged.begin() + static_cast<std::ptrdiff_t>(i), discardFile);
        return fail(*error);
      }
    }
    if (recorded) {
      if (auto error = append({writes, pendingAfter})) {
        std::for_each(staged.begin(), staged.end(), discardFile);
        return fail(*error);
      }
    }
    // Decided: what a failure from here leaves undone, the next holder of
    // the lock finishes.
    for (std::size_t i = 0; i < staged.size(); ++i) {
      if (auto error = placeFile(staged[i])) {
        std::for_each(staged.begin() + static_cast<std::ptrdiff_t>(i) + 1, staged.end(), discardFile);
        return fail(*error);
      }
    }
    if (auto error = syncFolderOf(writes.front().path.c_str())) return fail(*error);
    pending_ = pendingAfter;
    if (!recorded) return true;
    // Left in place, the entry makes the next holder find the files already
    // written; but the change was not made as it should be, and is said.
    if (auto error = recordPending()) return fail(*error);
    return true;
  }

  // The booking leaves its file as it is now; `rest` stays consumed.
  bool removeBooking(const Consumption& consumed, std::vector<Consumption> rest) {
    std::vector<PromisedWrite> writes;
    std::optional<std::string> before;
    if (auto error = readDataFile(consumed.path.c_str(), before)) return fail(*error);
    const KeptFile* const kept = keptFile(keptFiles, consumed.path);
    if (before && kept && kept->withoutBooking) {
      std::optional<std::string> after;
      // A file not understood is not written over: the booking stays pending.
      if (auto fault = kept->withoutBooking(*before, consumed.record, after)) {
        return fail({consumed.path, 0, FileAccess::read, *fault});
      }
      if (after) writes.push_back({consumed.path, before, std::move(*after)});
    }
    return commit(writes, rest);
  }

 private:
  FileResult append(const Entry& entry) {
    const std::string text = entryText(entry);
    if (!disk::writeAllAt(fd_, text, end_, kLockFile) || !disk::syncFile(fd_, kLockFile)) {
      const FileError error = FileError::fromErrno(kLockFile);
      // An entry not known to be on the disk must not count: the next holder
      // would finish a change that this one reports as not made. Should the
      // cut fail too, a torn entry is cut off by the next holder's recovery.
      if (disk::truncateFile(fd_, end_, kLockFile)) disk::syncFile(fd_, kLockFile);
      return error;
    }
    end_ += static_cast<off_t>(text.size());
    return std::nullopt;
  }

  FileResult truncateTo(off_t size) {
    if (!disk::truncateFile(fd_, size, kLockFile) || !disk::syncFile(fd_, kLockFile)) {
      return FileError::fromErrno(kLockFile);
    }
    end_ = size;
    return std::nullopt;
  }

  // The journal says only what is pending: nothing at all when nothing is.
  FileResult recordPending() {
    if (!pending_.empty()) return append({{}, pending_});
    return end_ > 0 ? truncateTo(0) : std::nullopt;
  }

  int fd_;
  std::optional<Entry> last_;  // the last whole entry
  bool tornTail_ = false;      // bytes after it
  off_t end_ = 0;              // where the whole entries end
  std::vector<Consumption> pending_;
};

// The one way to the folder's files: the update lock, then what a dead
// program left finished, then `change` with the journal. False, with
// lastFileFailure set, when any of it could not be written.
bool withJournal(const std::function<bool(Journal&)>& change) {
  lastFileFailure.reset();
  const UpdateLock lock;
  if (!lock.held()) return fail(*lock.failure());
  Journal journal(lock.fd());
  if (auto error = journal.read()) return fail(*error);
  return journal.recover(Sequence::running()) && change(journal);
}

}  // namespace

void resetFileFailure() { lastFileFailure.reset(); }

void keepFiles(std::vector<KeptFile> files) { keptFiles = std::move(files); }

FileResult openFolder() {
  if (::faccessat(AT_FDCWD, ".", W_OK | X_OK, AT_EACCESS) != 0) return FileError::fromErrno("");
  struct stat info {};
  // Nothing was ever changed here, and no change was cut short.
  std::vector<const char*> names;
  for (const KeptFile& file : keptFiles) names.push_back(file.path);
  if (::lstat(kLockFile, &info) != 0 && tempFilesOf(names).empty()) return std::nullopt;
  // Temporary files are written only under the update lock, so its holder
  // knows that every one it finds was left by a program that died, whatever
  // pid its name carries (after a power cut the pids start over).
  const bool opened = withJournal([&names](Journal&) {
    for (const std::string& name : tempFilesOf(names)) disk::removeFile(name.c_str());
    return true;
  });
  return opened ? std::nullopt : lastFileFailure;
}

bool changeFiles(std::initializer_list<const char*> paths,
                 const std::function<FileResult(std::span<FileChange>)>& edit, Settles settles) {
  Sequence* const sequence = Sequence::running_;
  const Consumption* const settling =
      settles == Settles::yes && sequence ? sequence->bookingToConsume() : nullptr;
  const bool written = withJournal([&](Journal& journal) {
    std::vector<FileChange> files;
    for (const char* path : paths) {
      std::optional<std::string> bytes;
      // A file that cannot be read is not written over: nothing is.
      if (auto error = readDataFile(path, bytes)) return fail(*error);
      files.push_back({path, bytes, bytes});
    }
    if (auto refused = edit(files)) return fail(*refused);
    std::vector<PromisedWrite> writes;
    for (const FileChange& file : files) {
      if (file.after && file.after != file.before) writes.push_back({file.path, file.before, *file.after});
    }
    std::vector<Consumption> pending = journal.pending();
    if (settling) pending.push_back(*settling);
    return journal.commit(writes, pending);
  });
  if (written && settling) sequence->bookingConsumed();
  if (!written) sequenceFailed();
  return written;
}

void sequenceFailed() {
  if (Sequence* const sequence = Sequence::running_) sequence->stepFailed();
}

bool settleBooking() {
  const Sequence* sequence = Sequence::running();
  if (!sequence || !sequence->bookingToConsume()) return true;
  // A change of no file that consumes the booking; failed, the booking
  // stays, as after a charge that failed.
  return changeFiles(
      {}, [](std::span<FileChange>) { return FileResult(); }, Settles::yes);
}

// Checked before the claim is asked for, which its own program would hold.
Wait Sequence::alone(Wait forClaim) {
  assert(running_ == nullptr && "a program makes one Sequence at a time");
  return forClaim;
}

Sequence::Sequence(Wait forClaim) : claim_(alone(forClaim)) {
  if (!claim_.held()) {
    if (!claim_.busy()) lastFileFailure = claim_.failure();
    return;
  }
  running_ = this;
  ready_ = withJournal([](Journal&) { return true; });
}

Sequence::~Sequence() {
  if (running_ == this) running_ = nullptr;
}

void Sequence::fires(const char* path, std::vector<int> record) {
  booking_ = Consumption{path, std::move(record)};
}

bool Sequence::finish() {
  if (!ready_ || !booking_) return true;
  return withJournal([this](Journal& journal) {
    const Consumption booking = *booking_;
    std::vector<Consumption> rest = journal.pending();
    if (const auto own = std::find(rest.begin(), rest.end(), booking); recorded_ && own != rest.end()) {
      rest.erase(own);
    }
    booking_.reset();
    recorded_ = false;
    return journal.removeBooking(booking, std::move(rest));
  });
}

}  // namespace cm
