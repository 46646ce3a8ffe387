// The one seam between the machine and the disk: every system call by which
// the data files and the journal are read, or a change of them reaches the
// disk, goes through these functions, one step each.
//
// The programs link disk_posix.cpp, which makes the calls as they are. The
// tests link a disk that names the steps and can make any one of them
// fail, or end the program just before it, as a failing disk or a power cut
// would (link-time substitution, as for the platform seam).
//
// A call that fails returns false (or -1) with errno set. `file` names what
// a step works on, as the steps are known: the data file, the temporary
// file, the lock file or the folder.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cm::disk {

// Step "read <path>": the whole file, appended to `bytes`, for a change or a
// check that depends on what it holds. ENOENT: the file is missing. Only a
// plain file is read, through a link too: anything else fails at once,
// without blocking (EISDIR, or sys::kNotRegularFile).
bool readFile(const char* path, std::string& bytes);
// Step "look <path>": the same read, for what only shows the file (a level
// on a screen) or keeps a copy of it that is looked at again later (a
// schedule): its failure changes nothing and is not said.
bool lookAtFile(const char* path, std::string& bytes);
// Step "read <file>": up to `size` bytes from `offset` on, appended to
// `bytes`; fewer only at the end of the file.
bool readAt(int fd, off_t offset, std::size_t size, std::string& bytes, const char* file);

// Step "create <path>": a new file to write, never an existing one and
// never through a link; with exactly the permission bits `keepMode` when it
// is to replace a file, else as the umask lets a new file be. The
// descriptor, or -1.
int createFile(const char* path, std::optional<mode_t> keepMode);
// The lock file, opened to read and write and created when it is missing
// (step "create <path>" then), never through a link. The descriptor, or -1.
int openLockFile(const char* path);

// Step "write <file>": all of `bytes`, from `offset` on.
bool writeAllAt(int fd, std::string_view bytes, off_t offset, const char* file);
// Step "sync <file>".
bool syncFile(int fd, const char* file);
// Step "close <file>". The descriptor is closed whatever the result.
bool closeFile(int fd, const char* file);
// Step "truncate <file>".
bool truncateFile(int fd, off_t size, const char* file);
// Step "rename <to>".
bool renameFile(const char* from, const char* to);
// Step "sync <folder>": the folder's entries, so a rename lasts.
bool syncFolder(const char* folder);
// Step "syncfs <folder>": the whole file system that holds the folder.
bool syncFileSystem(const char* folder);

// Not a step: a file that stays behind is removed by the next start.
void removeFile(const char* path);

}  // namespace cm::disk
