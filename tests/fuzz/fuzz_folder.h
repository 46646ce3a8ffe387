// Every fuzz target works in a scratch folder of its own, so the data files
// it writes never land in the folder it was started from.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace cm::fuzz {

inline std::string& scratchFolder() {
  static std::string folder;
  return folder;
}

inline void enterScratchFolder() {
  static const bool entered = [] {
    // A memory file system where there is one: every rewrite syncs its file.
    std::string& folder = scratchFolder();
    folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/coffee-fuzz-XXXXXX" : "/tmp/coffee-fuzz-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchFolder(), ignored);
    });
    return true;
  }();
  (void)entered;
}

}  // namespace cm::fuzz
