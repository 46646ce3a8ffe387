// The programs' disk: every step made as it is, nothing watched.
#include "disk.h"
#include "system_calls.h"

namespace cm::disk {

bool readFile(const char* path, std::string& bytes) { return sys::readFile(path, bytes); }
bool lookAtFile(const char* path, std::string& bytes) { return sys::readFile(path, bytes); }
bool readAt(int fd, off_t offset, std::size_t size, std::string& bytes, const char*) {
  return sys::readAt(fd, offset, size, bytes);
}
int createFile(const char* path, std::optional<mode_t> keepMode) { return sys::createFile(path, keepMode); }
int openLockFile(const char* path) { return sys::openLockFile(path); }
bool writeAllAt(int fd, std::string_view bytes, off_t offset, const char*) {
  return sys::writeAllAt(fd, bytes, offset);
}
bool syncFile(int fd, const char*) { return sys::syncFile(fd); }
bool closeFile(int fd, const char*) { return sys::closeFile(fd); }
bool truncateFile(int fd, off_t size, const char*) { return sys::truncateFile(fd, size); }
bool renameFile(const char* from, const char* to) { return sys::renameFile(from, to); }
bool syncFolder(const char* folder) { return sys::syncFolder(folder); }
bool syncFileSystem(const char* folder) { return sys::syncFileSystem(folder); }
void removeFile(const char* path) { sys::removeFile(path); }

}  // namespace cm::disk
