#include "machine/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "machine/fault_points.h"
#include "machine/number_text.h"

namespace cm {

std::optional<WriteError> lastWriteFailure;

namespace {

constexpr off_t kUpdateByte = 0;
constexpr off_t kClaimByte = 1;
// A journal holds a few short entries; what lies beyond this is not ours.
constexpr std::size_t kLongestJournal = 1 << 20;

// A booking consumed by a sequence: its file and its numbers.
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
};

struct Entry {
  std::vector<PromisedWrite> writes;
  std::vector<Consumption> consumes;
};

// This program's sequence, while one runs. A program runs sequences and
// changes files on one thread at a time, so nothing guards it.
struct RunningSequence {
  bool claimed = false;
  std::optional<Consumption> booking;
  bool recorded = false;  // its consumption is in the journal
  bool chargeFailed = false;
};
RunningSequence running;

WriteError errnoFailure(const char* file) {
  const int code = errno;
  return {file, code};
}

bool isDataFile(std::string_view name) {
  return std::find(std::begin(kDataFiles), std::end(kDataFiles), name) != std::end(kDataFiles);
}

// The width of a booking in its file.
std::size_t recordWidth(std::string_view path) { return path == kReserveFile ? 3 : 1; }

// ---- The lock file and its two locks

// A fresh open for every lock: open-file-description locks then also keep
// the threads of one program apart. A link is never followed.
int openLockFile() {
  struct stat info {};
  const bool missing = ::lstat(kLockFile, &info) != 0;
  if (missing && stepFails("create", kLockFile)) return -1;
  const int fd = ::open(kLockFile, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  // A new name in the folder: sync it, as a rename's, before a journal
  // entry in it counts on it.
  if (fd >= 0 && missing) {
    if (const WriteResult error = syncFolderOf(kLockFile)) {
      ::close(fd);
      errno = error->code;
      return -1;
    }
  }
  return fd;
}

// 0 once locked, else the reason; `wait` waits while another holds it.
int lockByte(int fd, off_t byte, bool wait) {
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = byte;
  range.l_len = 1;
  while (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

bool heldByAnother(int error) { return error == EAGAIN || error == EACCES; }

// The claim, when nobody holds it; -1 otherwise. Closing releases it.
int tryClaim() {
  const int fd = openLockFile();
  if (fd >= 0 && lockByte(fd, kClaimByte, false) == 0) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

// Held for one change. Never held across a screen or a pause, so the wait
// for it is never long.
class UpdateLock {
 public:
  UpdateLock() : fd_(openLockFile()) {
    if (fd_ < 0) {
      lastWriteFailure = errnoFailure(kLockFile);
    } else if (const int error = lockByte(fd_, kUpdateByte, true)) {
      lastWriteFailure = WriteError{kLockFile, error};
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~UpdateLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;

  explicit operator bool() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_;
};

// ---- The journal's text
//
// Entries follow one another; the last whole one tells the state. Each is
// "entry <length> <checksum>\n" and a body of that length, lines of
//   write <file> <length before, or - when missing> <length after>\n
//     <bytes before><bytes after>\n
//   consume <file> <the booking's numbers>\n
// The checksum (64-bit FNV-1a of the body) tells a whole entry from one that
// a crash cut short.

std::uint64_t checksum(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string entryText(const Entry& entry) {
  std::string body;
  for (const PromisedWrite& write : entry.writes) {
    body.append("write ").append(write.path).append(" ");
    body.append(write.before ? std::to_string(write.before->size()) : "-").append(" ");
    body.append(std::to_string(write.after.size())).append("\n");
    body.append(write.before.value_or("")).append(write.after).append("\n");
  }
  for (const Consumption& consumed : entry.consumes) {
    body.append("consume ").append(consumed.path);
    for (const int n : consumed.record) body.append(" ").append(std::to_string(n));
    body.append("\n");
  }
  char header[64];
  std::snprintf(header, sizeof header, "entry %zu %016" PRIx64 "\n", body.size(), checksum(body));
  return std::string(header).append(body);
}

// Reads the journal's text; every read fails once, and stays failed.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return pos_ >= text_.size(); }
  std::size_t pos() const { return pos_; }

  // Up to the next space or line end, which is left for expect().
  std::string_view word() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ' ' && text_[pos_] != '\n') ++pos_;
    ok_ = ok_ && pos_ > start;
    return text_.substr(start, pos_ - start);
  }
  template <typename Number>
  Number number(int base = 10) {
    const std::string_view text = word();
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    ok_ = ok_ && error == std::errc{} && end == text.data() + text.size();
    return value;
  }
  bool next(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  void expect(char c) { ok_ = next(c) && ok_; }
  std::string_view take(std::size_t n) {
    ok_ = ok_ && n <= text_.size() - pos_;
    if (!ok_) return {};
    pos_ += n;
    return text_.substr(pos_ - n, n);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// Only the folder's data files, and bookings as wide as their file's: a
// journal written by anyone else never makes this program write elsewhere.
std::optional<Entry> parseBody(std::string_view body) {
  Cursor in(body);
  Entry entry;
  while (in.ok() && !in.atEnd()) {
    const std::string_view kind = in.word();
    in.expect(' ');
    const std::string path(in.word());
    if (!isDataFile(path)) return std::nullopt;
    if (kind == "write") {
      in.expect(' ');
      const bool existed = !in.next('-');
      const auto beforeSize = existed ? in.number<std::size_t>() : 0;
      in.expect(' ');
      const auto afterSize = in.number<std::size_t>();
      in.expect('\n');
      std::optional<std::string> before;
      if (existed) before = std::string(in.take(beforeSize));
      std::string after(in.take(afterSize));
      in.expect('\n');
      entry.writes.push_back({path, std::move(before), std::move(after)});
    } else if (kind == "consume") {
      Consumption consumed{path, {}};
      while (in.ok() && in.next(' ')) consumed.record.push_back(in.number<int>());
      in.expect('\n');
      if (consumed.record.size() != recordWidth(path)) return std::nullopt;
      entry.consumes.push_back(std::move(consumed));
    } else {
      return std::nullopt;
    }
  }
  if (!in.ok()) return std::nullopt;
  return entry;
}

struct JournalText {
  std::optional<Entry> last;  // the last whole entry
  off_t wholeUpTo = 0;        // where the whole entries end
  off_t size = 0;
};

JournalText readJournal(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > kLongestJournal) break;
  }
  JournalText journal;
  journal.size = static_cast<off_t>(text.size());
  Cursor in(text);
  while (!in.atEnd()) {
    if (in.word() != "entry") break;
    in.expect(' ');
    const auto length = in.number<std::size_t>();
    in.expect(' ');
    const auto sum = in.number<std::uint64_t>(16);
    in.expect('\n');
    const std::string_view body = in.take(length);
    if (!in.ok() || checksum(body) != sum) break;
    std::optional<Entry> entry = parseBody(body);
    if (!entry) break;
    journal.last = std::move(entry);
    journal.wholeUpTo = static_cast<off_t>(in.pos());
  }
  return journal;
}

// The booking file's bytes without the first booking equal to `record`, as
// loading reads the file; nothing when it holds no such booking.
std::optional<std::string> withoutBooking(const std::string& bytes, const std::vector<int>& record) {
  std::vector<int> numbers = scanNumbers(bytes);
  numbers.resize(numbers.size() / record.size() * record.size());
  for (std::size_t i = 0; i < numbers.size(); i += record.size()) {
    if (std::equal(record.begin(), record.end(), numbers.begin() + static_cast<std::ptrdiff_t>(i))) {
      numbers.erase(numbers.begin() + static_cast<std::ptrdiff_t>(i),
                    numbers.begin() + static_cast<std::ptrdiff_t>(i + record.size()));
      return numberLines(numbers);
    }
  }
  return std::nullopt;
}

// ---- The journal, under the update lock

class Journal {
 public:
  explicit Journal(const UpdateLock& lock) : fd_(lock.fd()), text_(readJournal(fd_)) {}

  const std::vector<Consumption>& pending() const { return pending_; }

  // Finishes what a dead program left: its file writes, and the bookings of
  // its sequences. With `holdsClaim`, every consumption but the running
  // sequence's own is a dead program's; without, one is when its claim is
  // free.
  bool recover(bool holdsClaim) {
    end_ = text_.wholeUpTo;
    if (text_.size > end_) {
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
    for (const Consumption& consumed : std::vector(pending_)) {
      if (running.recorded && running.booking == consumed) continue;
      const int claim = holdsClaim ? -1 : tryClaim();
      if (!holdsClaim && claim < 0) continue;  // its sequence may still be running
      std::vector<Consumption> rest = pending_;
      rest.erase(std::find(rest.begin(), rest.end(), consumed));
      const bool removed = removeBooking(consumed, std::move(rest));
      if (claim >= 0) ::close(claim);
      if (!removed) return false;
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
      if (std::optional<std::string> after = withoutBooking(*before, consumed.record)) {
        writes.push_back({consumed.path, before, std::move(*after)});
      }
    }
    return commit(writes, rest);
  }

 private:
  static bool fail(WriteError error) {
    lastWriteFailure = std::move(error);
    return false;
  }

  WriteResult append(const Entry& entry) {
    const std::string text = entryText(entry);
    const bool written = !stepFails("write", kLockFile) && writeAt(text, end_) &&
                         !stepFails("sync", kLockFile) && ::fsync(fd_) == 0;
    if (!written) {
      const WriteError error = errnoFailure(kLockFile);
      // An entry not known to be on the disk must not count: the next holder
      // would finish a change that this one reports as not made. Should the
      // cut fail too, a torn entry is cut off by the next holder's recovery.
      if (::ftruncate(fd_, end_) == 0) {
        [[maybe_unused]] const int synced = ::fsync(fd_);
      }
      return error;
    }
    end_ += static_cast<off_t>(text.size());
    return std::nullopt;
  }

  bool writeAt(std::string_view text, off_t offset) const {
    while (!text.empty()) {
      const ssize_t n = ::pwrite(fd_, text.data(), text.size(), offset);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) {
        errno = ENOSPC;
        return false;
      }
      text.remove_prefix(static_cast<std::size_t>(n));
      offset += n;
    }
    return true;
  }

  WriteResult truncateTo(off_t size) {
    if (stepFails("truncate", kLockFile) || ::ftruncate(fd_, size) != 0) return errnoFailure(kLockFile);
    if (stepFails("sync", kLockFile) || ::fsync(fd_) != 0) return errnoFailure(kLockFile);
    end_ = size;
    return std::nullopt;
  }

  // The journal says only what is pending: nothing at all when nothing is.
  WriteResult recordPending() {
    if (!pending_.empty()) return append({{}, pending_});
    return end_ > 0 ? truncateTo(0) : std::nullopt;
  }

  int fd_;
  JournalText text_;
  off_t end_ = 0;
  std::vector<Consumption> pending_;
};

}  // namespace

WriteResult openFolder() {
  if (::faccessat(AT_FDCWD, ".", W_OK | X_OK, AT_EACCESS) != 0) return errnoFailure("");
  struct stat info {};
  // Nothing was ever changed here, and no change was cut short.
  if (::lstat(kLockFile, &info) != 0 && tempFilesOf(kDataFiles).empty()) return std::nullopt;
  lastWriteFailure.reset();
  const UpdateLock lock;
  if (!lock) return lastWriteFailure;
  // Temporary files are written only under the update lock, so its holder
  // knows that every one it finds was left by a program that died, whatever
  // pid its name carries (after a power cut the pids start over).
  for (const std::string& name : tempFilesOf(kDataFiles)) ::unlink(name.c_str());
  if (Journal(lock).recover(false)) return std::nullopt;
  return lastWriteFailure;
}

bool changeFiles(std::initializer_list<const char*> paths,
                 const std::function<void(std::span<FileChange>)>& edit, Settles settles) {
  lastWriteFailure.reset();
  const bool written = [&] {
    const UpdateLock lock;
    if (!lock) return false;
    Journal journal(lock);
    if (!journal.recover(running.claimed)) return false;
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
    const bool settling = settles == Settles::yes && running.booking && !running.recorded;
    if (settling) pending.push_back(*running.booking);
    if (!journal.commit(writes, pending)) return false;
    running.recorded = running.recorded || settling;
    return true;
  }();
  if (!written && running.booking) running.chargeFailed = true;
  return written;
}

bool settleBooking() {
  if (!running.booking || running.recorded) return true;
  lastWriteFailure.reset();
  running.recorded = [] {
    const UpdateLock lock;
    if (!lock) return false;
    Journal journal(lock);
    if (!journal.recover(true)) return false;
    std::vector<Consumption> pending = journal.pending();
    pending.push_back(*running.booking);
    return journal.commit({}, pending);
  }();
  // As a charge that could not be written: the booking stays.
  running.chargeFailed = !running.recorded;
  return running.recorded;
}

Sequence::Sequence(Claim claim) : claimFd_(openLockFile()) {
  if (claimFd_ < 0) {
    lastWriteFailure = errnoFailure(kLockFile);
    return;
  }
  if (const int error = lockByte(claimFd_, kClaimByte, claim == Claim::awaited)) {
    ::close(claimFd_);
    claimFd_ = -1;
    if (heldByAnother(error)) {
      state_ = State::busy;
    } else {
      lastWriteFailure = WriteError{kLockFile, error};
    }
    return;
  }
  running = {};
  running.claimed = true;
  const UpdateLock lock;
  if (lock && Journal(lock).recover(true)) state_ = State::ready;
}

Sequence::~Sequence() {
  if (claimFd_ < 0) return;
  running = {};
  ::close(claimFd_);
}

void Sequence::fires(const char* path, std::vector<int> record) {
  running.booking = Consumption{path, std::move(record)};
}

bool Sequence::chargeFailed() const { return running.chargeFailed; }

bool Sequence::finish() {
  if (!ready() || !running.booking) return true;
  lastWriteFailure.reset();
  const UpdateLock lock;
  if (!lock) return false;
  Journal journal(lock);
  if (!journal.recover(true)) return false;
  std::vector<Consumption> rest = journal.pending();
  if (const auto own = std::find(rest.begin(), rest.end(), *running.booking);
      running.recorded && own != rest.end()) {
    rest.erase(own);
  }
  const Consumption booking = *running.booking;
  running.booking.reset();
  running.recorded = false;
  return journal.removeBooking(booking, std::move(rest));
}

}  // namespace cm
