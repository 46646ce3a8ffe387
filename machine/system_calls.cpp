#include "machine/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

int createFile(const char* path) {
  return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
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

bool syncFile(int fd) { return ::fsync(fd) == 0; }
bool closeFile(int fd) { return ::close(fd) == 0; }
bool truncateFile(int fd, off_t size) { return ::ftruncate(fd, size) == 0; }
bool renameFile(const char* from, const char* to) { return ::rename(from, to) == 0; }
bool syncFolder(const char* folder) { return onFolder(folder, ::fsync); }
bool syncFileSystem(const char* folder) { return onFolder(folder, ::syncfs); }
void removeFile(const char* path) { ::unlink(path); }

}  // namespace cm::sys
