// Whole-file reads and crash-safe rewrites of the machine's data files.
#pragma once

#include <sys/types.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cm {

// What tells one version of a file from another without reading it: a
// rewrite makes a new inode, a hand edit changes the size or the
// modification time. `seen` is false before the first look.
struct FileIdentity {
  bool seen = false;
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  time_t modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file's identity now (exists is false when it is missing).
FileIdentity fileIdentity(const char* path);

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const char* path);

// Replaces the file's content with `bytes`. The bytes go to a temporary file
// in the same folder that is then renamed over the old file, so a reader
// (or a crash at any moment) sees either the old content or the new one,
// never an empty or half-written file. Returns false when nothing changed.
bool rewriteFile(const char* path, std::string_view bytes);

// Removes temporary files that a rewrite of one of `paths` left behind when
// its process was killed before the rename. Files of processes that are
// still running are left alone.
void removeStaleTempFiles(std::span<const char* const> paths);

}  // namespace cm
