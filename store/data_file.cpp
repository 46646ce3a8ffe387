#include "data_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "disk.h"
#include "system_calls.h"

namespace cm {

namespace {

// "<path>.<pid>.tmp": one name per process, so two programs sharing a folder
// never write into each other's temporary file.
std::string tempNameFor(const char* path, long pid) {
  return std::string(path) + "." + std::to_string(pid) + ".tmp";
}

// Whether the file's mode lets this program's user write it: the owner's
// bits for its owner, the group's for its group, the others' for the rest.
// Root is held to them too.
bool modeLetsWrite(const struct stat& info) {
  if (info.st_uid == ::geteuid()) return (info.st_mode & S_IWUSR) != 0;
  if (info.st_gid == ::getegid()) return (info.st_mode & S_IWGRP) != 0;
  return (info.st_mode & S_IWOTH) != 0;
}

// A new file that nobody else has opened: a link or a file found under the
// name (left by a dead process with this pid, or put there on purpose) is
// removed, never followed or written into. It takes the permission bits of
// the file it is to replace, as a file the household made group-writable
// stays so.
//
// A data file that is a link is never replaced (it is read through): the
// folder's locks keep apart only the programs of this folder, not those of
// another folder that link the same file.
//
// Nor is a file with a second name (a hard link), which a rename would
// split in two, nor one whose mode lets its user not write it: replacing it
// would overrule its owner, as an editor refuses to.
int createTempFile(const char* path, const char* temp) {
  struct stat info {};
  const bool exists = ::lstat(path, &info) == 0;
  if (exists && S_ISLNK(info.st_mode)) {
    errno = sys::kSymbolicLink;
    return -1;
  }
  if (exists && S_ISREG(info.st_mode) && info.st_nlink > 1) {
    errno = sys::kSecondName;
    return -1;
  }
  if (exists && !modeLetsWrite(info)) {
    errno = EACCES;
    return -1;
  }
  const std::optional<mode_t> keepMode = exists ? std::optional<mode_t>(info.st_mode & 07777) : std::nullopt;
  const int fd = disk::createFile(temp, keepMode);
  if (fd >= 0 || errno != EEXIST) return fd;
  disk::removeFile(temp);
  return disk::createFile(temp, keepMode);
}

}  // namespace

std::string FileError::describe() const {
  if (!textFault.empty()) return file + ": " + textFault;
  const char* reason = code == sys::kNotRegularFile ? "not a regular file"
                       : code == sys::kSymbolicLink ? "it is a symbolic link"
                       : code == sys::kSecondName   ? "it has more than one name"
                                                    : std::strerror(code);
  return file + ": " + reason;
}

std::string FileError::said() const {
  return (access == FileAccess::read ? "cannot read " : "cannot write ") + describe();
}

FileResult readDataFile(const char* path, std::optional<std::string>& bytes, ReadFor why) {
  std::string read;
  if (why == ReadFor::change ? disk::readFile(path, read) : disk::lookAtFile(path, read)) {
    bytes = std::move(read);
    return std::nullopt;
  }
  bytes.reset();
  if (errno == ENOENT) return std::nullopt;
  return FileError::fromErrno(path, FileAccess::read);
}

FileResult stageFile(const char* path, std::string_view bytes, StagedFile& staged) {
  staged = {path, tempNameFor(path, static_cast<long>(::getpid()))};
  const char* temp = staged.temp.c_str();
  const int fd = createTempFile(path, temp);
  if (fd < 0) return FileError::fromErrno(path);
  const bool written = disk::writeAllAt(fd, bytes, 0, temp) && disk::syncFile(fd, temp);
  const int writeError = errno;
  // Closed whatever happened; a close that fails may have lost the bytes.
  const bool closed = disk::closeFile(fd, temp);
  if (written && closed) return std::nullopt;
  const FileError error{path, written ? errno : writeError};
  discardFile(staged);
  return error;
}

FileResult placeFile(const StagedFile& staged) {
  if (disk::renameFile(staged.temp.c_str(), staged.path.c_str())) return std::nullopt;
  const FileError error = FileError::fromErrno(staged.path);
  discardFile(staged);
  return error;
}

void discardFile(const StagedFile& staged) { disk::removeFile(staged.temp.c_str()); }

// After a rename the new name lives in the folder's entries: sync them too,
// so a power cut cannot bring the old file back. A file system that cannot
// sync a folder (EINVAL) is synced whole instead; only when that fails too
// is the change not durable, and said so, as a failure to write the file.
FileResult syncFolderOf(const char* path) {
  const std::string_view name = path;
  const std::size_t slash = name.rfind('/');
  const std::string folder = slash == std::string_view::npos ? "." : std::string(name.substr(0, slash + 1));
  if (disk::syncFolder(folder.c_str())) return std::nullopt;
  if (errno == EINVAL && disk::syncFileSystem(folder.c_str())) return std::nullopt;
  return FileError::fromErrno(path);
}

FileResult rewriteFile(const char* path, std::string_view bytes) {
  StagedFile staged;
  if (auto error = stageFile(path, bytes, staged)) return error;
  if (auto error = placeFile(staged)) return error;
  return syncFolderOf(path);
}

FileIdentity fileIdentity(const char* path) {
  struct stat info {};
  if (::stat(path, &info) != 0) return FileIdentity{.seen = true};
  const sys::FileTimes times = sys::fileTimes(info);
  return {true,
          true,
          info.st_dev,
          info.st_ino,
          info.st_size,
          times.modified.tv_sec,
          times.modified.tv_nsec,
          times.changed.tv_sec,
          times.changed.tv_nsec};
}

std::vector<std::string> tempFilesOf(std::span<const char* const> paths) {
  std::vector<std::string> found;
  DIR* dir = ::opendir(".");
  if (dir == nullptr) return found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    for (const char* path : paths) {
      const std::string base = std::string(path) + ".";
      if (name.size() <= base.size() + 4 || name.substr(0, base.size()) != base ||
          name.substr(name.size() - 4) != ".tmp") {
        continue;
      }
      const std::string_view pid = name.substr(base.size(), name.size() - base.size() - 4);
      if (std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        found.emplace_back(name);
      }
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace cm
