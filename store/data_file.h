// Whole-file reads and crash-safe rewrites of the folder's data files, whose
// names the layers that own them give (journal.h, keepFiles).
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cm {

// What tells one version of a file from another without reading it: a
// rewrite makes a new inode, a hand edit changes the size, the modification
// time or at least the change time (which no one can set back). `seen` is
// false before the first look.
struct FileIdentity {
  bool seen = false;
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  time_t modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  time_t changedSeconds = 0;
  long changedNanoseconds = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file's identity now (exists is false when it is missing).
FileIdentity fileIdentity(const char* path);

enum class FileAccess { read, write };

// Why a file could not be read or written: its name, which it was and the
// system's reason, or, for a file read but not understood, where its text
// went wrong (`code` 0).
struct FileError {
  FileError() = default;
  FileError(std::string_view name, int error, FileAccess which = FileAccess::write, std::string where = {})
      : file(name), code(error), access(which), textFault(std::move(where)) {}
  std::string file;
  int code = 0;
  FileAccess access = FileAccess::write;
  std::string textFault;
  // "<file>: <reason>".
  std::string describe() const;
  // "cannot read <file>: <reason>" or "cannot write ...", as the machine says it.
  std::string said() const;
  // The error of the call that just failed, taken before anything changes it.
  static FileError fromErrno(std::string_view file, FileAccess access = FileAccess::write) {
    const int code = errno;
    return {file, code, access};
  }
};
using FileResult = std::optional<FileError>;  // nothing: done

// Why a data file is read: for a change or a check that depends on what it
// holds, or only to look at it (disk.h tells the two steps apart).
enum class ReadFor { change, look };

// The file's bytes into `bytes`, or nothing there when it is missing (no
// such file: only that). The failure when it is there but cannot be read:
// a file that could not be read is never taken for a missing one.
[[nodiscard]] FileResult readDataFile(const char* path, std::optional<std::string>& bytes,
                                      ReadFor why = ReadFor::change);

// A new version of a data file, written and synced under a temporary name
// in the same folder, not yet in place.
struct StagedFile {
  std::string path;
  std::string temp;
};

// The steps of a rewrite, for changes of several files that must land
// together: stage every file, then place each (a rename, so a reader or a
// crash sees the old content or the new, never a mix), then sync the folder
// once. A staged file that is not placed is discarded.
[[nodiscard]] FileResult stageFile(const char* path, std::string_view bytes, StagedFile& staged);
[[nodiscard]] FileResult placeFile(const StagedFile& staged);
void discardFile(const StagedFile& staged);
[[nodiscard]] FileResult syncFolderOf(const char* path);

// The three steps for one file.
[[nodiscard]] FileResult rewriteFile(const char* path, std::string_view bytes);

// The temporary files of rewrites of `paths` in the working folder, whoever
// made them: "<path>.<pid>.tmp".
std::vector<std::string> tempFilesOf(std::span<const char* const> paths);

}  // namespace cm
