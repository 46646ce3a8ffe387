#include "machine/folder_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace cm {

namespace {

// One byte of the lock file for each lock, so the two never block each other.
constexpr off_t kUpdateByte = 0;
constexpr off_t kClaimByte = 1;

// A fresh open for every lock: open-file-description locks then also keep
// the threads of one program apart. A link is never followed. Where the
// file cannot be opened at all (a read-only folder), the program works
// unlocked, as it would alone.
int openLockFile() { return ::open(kLockFile, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644); }

bool lockByte(int fd, off_t byte, bool wait) {
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = byte;
  range.l_len = 1;
  for (;;) {
    if (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

UpdateLock::UpdateLock() : fd_(openLockFile()) {
  if (fd_ >= 0) lockByte(fd_, kUpdateByte, true);
}

// Closing the description releases its lock.
UpdateLock::~UpdateLock() {
  if (fd_ >= 0) ::close(fd_);
}

// Only "held by another" refuses the claim; a lock the file system cannot
// take leaves the program working as it would alone.
BookingClaim::BookingClaim() : fd_(openLockFile()), held_(true) {
  if (fd_ >= 0 && !lockByte(fd_, kClaimByte, false)) held_ = errno != EAGAIN && errno != EACCES;
}

BookingClaim::~BookingClaim() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace cm
