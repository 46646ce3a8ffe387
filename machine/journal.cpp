#include "machine/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "machine/disk.h"
#include "machine/number_text.h"

namespace cm {

std::optional<FileError> lastFileFailure;
Sequence* Sequence::running_ = nullptr;

namespace {

// A journal holds a few short entries; what lies beyond this is not ours.
constexpr std::size_t kLongestJournal = 1 << 20;

bool fail(FileError error) {
  lastFileFailure = std::move(error);
  return false;
}

// ---- The journal, under the update lock

class Journal {
 public:
  explicit Journal(int fd) : fd_(fd) {
    std::string text;
    char buffer[4096];
    while (text.size() <= kLongestJournal) {
      const ssize_t n = ::pread(fd_, buffer, sizeof buffer, static_cast<off_t>(text.size()));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    size_ = static_cast<off_t>(text.size());
    text_ = parseJournal(text);
  }

  const std::vector<Consumption>& pending() const { return pending_; }

  // Finishes what a dead program left: its file writes, and the bookings of
  // its sequences. While `running` holds the claim, every consumption but
  // its own is a dead program's; without the claim, one is when the claim
  // is free.
  bool recover(const Sequence* running) {
    end_ = static_cast<off_t>(text_.wholeUpTo);
    if (size_ > end_) {
      // A torn last entry: it never counted, and the next would hide behind it.
      if (auto error = truncateTo(end_)) return fail(*error);
    }
    if (!text_.last) return true;
    for (const PromisedWrite& write : text_.last->writes) {
      const std::optional<std::string> now = readWholeFile(write.path.c_str());
      // Done already, or changed by hand since: the file stays as it is.
      if (now == write.after || now != write.before) continue;
      if (auto error = rewriteFile(write.path.c_str(), write.after)) return fail(*error);
    }
    pending_ = text_.last->consumes;
    bool journalUpToDate = text_.last->writes.empty();
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
    const std::optional<std::string> before = readWholeFile(consumed.path.c_str());
    if (before) {
      if (std::optional<std::string> after = withoutRecord(*before, consumed.record)) {
        writes.push_back({consumed.path, before, std::move(*after)});
      }
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
  JournalText text_;
  off_t size_ = 0;
  off_t end_ = 0;
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
  return journal.recover(Sequence::running()) && change(journal);
}

}  // namespace

void resetFileFailure() { lastFileFailure.reset(); }

FileResult openFolder() {
  if (::faccessat(AT_FDCWD, ".", W_OK | X_OK, AT_EACCESS) != 0) return FileError::fromErrno("");
  struct stat info {};
  // Nothing was ever changed here, and no change was cut short.
  if (::lstat(kLockFile, &info) != 0 && tempFilesOf(kDataFiles).empty()) return std::nullopt;
  // Temporary files are written only under the update lock, so its holder
  // knows that every one it finds was left by a program that died, whatever
  // pid its name carries (after a power cut the pids start over).
  const bool opened = withJournal([](Journal&) {
    for (const std::string& name : tempFilesOf(kDataFiles)) disk::removeFile(name.c_str());
    return true;
  });
  return opened ? std::nullopt : lastFileFailure;
}

bool changeFiles(std::initializer_list<const char*> paths,
                 const std::function<void(std::span<FileChange>)>& edit, Settles settles) {
  Sequence* const sequence = Sequence::running_;
  const bool settling = settles == Settles::yes && sequence && sequence->booking_ && !sequence->recorded_;
  const bool written = withJournal([&](Journal& journal) {
    std::vector<FileChange> files;
    for (const char* path : paths) {
      std::optional<std::string> bytes = readWholeFile(path);
      files.push_back({path, bytes, bytes});
    }
    edit(files);
    std::vector<PromisedWrite> writes;
    for (const FileChange& file : files) {
      if (file.after && file.after != file.before) writes.push_back({file.path, file.before, *file.after});
    }
    std::vector<Consumption> pending = journal.pending();
    if (settling) pending.push_back(*sequence->booking_);
    return journal.commit(writes, pending);
  });
  if (sequence && sequence->booking_) {
    if (written) sequence->recorded_ = sequence->recorded_ || settling;
    if (!written) sequence->chargeFailed_ = true;
  }
  return written;
}

bool settleBooking() {
  const Sequence* sequence = Sequence::running_;
  if (!sequence || !sequence->booking_ || sequence->recorded_) return true;
  // A change of no file that consumes the booking; failed, the booking
  // stays, as after a charge that failed.
  return changeFiles(
      {}, [](std::span<FileChange>) {}, Settles::yes);
}

Sequence::Sequence(Wait forClaim) : claim_(forClaim) {
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
