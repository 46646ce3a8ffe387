// The file system calls of the disk seam (disk.h), made as they are: what
// each implementation of it comes down to.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cm::sys {

// The reasons of the storage's own, in errno where the system has no word
// for what went wrong; FileError says them (data_file.h).
inline constexpr int kNotRegularFile = 0x10000;  // a pipe, a device or a socket where a file was
inline constexpr int kSymbolicLink = 0x10001;    // a link where a file is to be replaced
inline constexpr int kSecondName = 0x10002;      // a hard link where a file is to be replaced

// A file's modification and change times, as each system names them.
struct FileTimes {
  timespec modified;
  timespec changed;
};
FileTimes fileTimes(const struct stat& info);

bool readFile(const char* path, std::string& bytes);
bool readAt(int fd, off_t offset, std::size_t size, std::string& bytes);
int createFile(const char* path, std::optional<mode_t> keepMode);
int openLockFile(const char* path);
bool writeAllAt(int fd, std::string_view bytes, off_t offset);
bool syncFile(int fd);
bool closeFile(int fd);
bool truncateFile(int fd, off_t size);
bool renameFile(const char* from, const char* to);
bool syncFolder(const char* folder);
bool syncFileSystem(const char* folder);
void removeFile(const char* path);

}  // namespace cm::sys
