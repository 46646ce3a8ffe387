#include "folder_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "disk.h"

namespace cm {

namespace {

// A fresh open for every lock; a link is never followed. A lock file just
// made is a new name in the folder: its folder is synced, as after a
// rename, before a journal entry in it counts on it.
int openLockFile() {
  struct stat info {};
  const bool missing = ::lstat(kLockFile, &info) != 0;
  const int fd = disk::openLockFile(kLockFile);
  if (fd >= 0 && missing) {
    if (const FileResult error = syncFolderOf(kLockFile)) {
      ::close(fd);
      errno = error->code;
      return -1;
    }
  }
  return fd;
}

// 0 once locked, else the reason.
int lockByte(int fd, off_t byte, Wait wait) {
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = byte;
  range.l_len = 1;
  while (::fcntl(fd, wait == Wait::yes ? F_OFD_SETLKW : F_OFD_SETLK, &range) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

FolderLock::FolderLock(off_t byte, Wait wait) : fd_(openLockFile()) {
  if (fd_ < 0) {
    failure_ = FileError::fromErrno(kLockFile);
    return;
  }
  if (const int error = lockByte(fd_, byte, wait)) {
    ::close(fd_);
    fd_ = -1;
    busy_ = error == EAGAIN || error == EACCES;
    if (!busy_) failure_ = FileError{kLockFile, error};
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace cm
