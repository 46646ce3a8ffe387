#include "folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
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

// The folder, to hold its claim.
int openFolder() { return ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

// 0 once locked, else the reason.
int lockWhole(int fd, Wait wait) {
  while (::flock(fd, LOCK_EX | (wait == Wait::yes ? 0 : LOCK_NB)) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

FolderLock::FolderLock(int (*open)(), const char* what, Wait wait) : fd_(open()) {
  if (fd_ < 0) {
    failure_ = FileError::fromErrno(what);
    return;
  }
  if (const int error = lockWhole(fd_, wait)) {
    ::close(fd_);
    fd_ = -1;
    busy_ = error == EWOULDBLOCK;
    if (!busy_) failure_ = FileError{what, error};
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

UpdateLock::UpdateLock() : FolderLock(openLockFile, kLockFile, Wait::yes) {}

SequenceClaim::SequenceClaim(Wait wait) : FolderLock(openFolder, ".", wait) {}

}  // namespace cm
