#include "system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace cm::sys {

namespace {

// One call on a descriptor opened for it: a folder's, to sync it.
template <typename Call>
bool onFolder(const char* folder, Call call) {
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool done = call(fd) == 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return done;
}

}  // namespace

// Only a plain file is read. It is opened so that nothing can hold the open
// (a named pipe waits for a writer; O_NONBLOCK does not), and looked at
// before anything is read from it: a device may never end, a pipe never
// begin.
bool readFile(const char* path, std::string& bytes) {
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool read = ::fstat(fd, &info) == 0;
  if (read && !S_ISREG(info.st_mode)) {
    read = false;
    errno = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
  }
  read = read && readAt(fd, 0, SIZE_MAX, bytes);
  const int error = errno;
  ::close(fd);
  errno = error;
  return read;
}

// The bytes are kept as they come, so memory grows with what the file
// holds, never with what is asked.
bool readAt(int fd, off_t offset, std::size_t size, std::string& bytes) {
  char buffer[64 * 1024];
  while (size > 0) {
    const ssize_t n = ::pread(fd, buffer, std::min(size, sizeof buffer), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    offset += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

int createFile(const char* path, std::optional<mode_t> keepMode) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, keepMode ? 0600 : 0644);
  // The umask counts for a new file only: a file replaced keeps its bits.
  if (fd < 0 || !keepMode || ::fchmod(fd, *keepMode) == 0) return fd;
  const int error = errno;
  ::close(fd);
  ::unlink(path);
  errno = error;
  return -1;
}

int openLockFile(const char* path) { return ::open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666); }

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

FileTimes fileTimes(const struct stat& info) {
#ifdef __APPLE__
  return {info.st_mtimespec, info.st_ctimespec};
#else
  return {info.st_mtim, info.st_ctim};  // POSIX 2008: Linux, the BSDs
#endif
}

// fsync hands the bytes to the drive, which may keep them in its cache and
// write them in another order; where the system can ask the drive to write
// them down (F_FULLFSYNC, macOS) it does, and falls back to fsync where the
// file system refuses.
int fullSync(int fd) {
#ifdef F_FULLFSYNC
  if (::fcntl(fd, F_FULLFSYNC) == 0) return 0;
#endif
  return ::fsync(fd);
}

bool syncFile(int fd) { return fullSync(fd) == 0; }
bool closeFile(int fd) { return ::close(fd) == 0; }
bool truncateFile(int fd, off_t size) { return ::ftruncate(fd, size) == 0; }
bool renameFile(const char* from, const char* to) { return ::rename(from, to) == 0; }
bool syncFolder(const char* folder) { return onFolder(folder, fullSync); }

// Where a folder cannot be synced: its file system (Linux), or every file
// system where no call names one.
bool syncFileSystem(const char* folder) {
#ifdef __linux__
  return onFolder(folder, ::syncfs);
#else
  (void)folder;
  ::sync();
  return true;
#endif
}
void removeFile(const char* path) { ::unlink(path); }

}  // namespace cm::sys
