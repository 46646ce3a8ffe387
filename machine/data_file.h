// Whole-file reads and crash-safe rewrites of the machine's data files.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cm {

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
