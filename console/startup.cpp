#include "console/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/terminal.h"
#include "machine/journal.h"

namespace cm {

void startMachine(const char* program, const EditionProfile& profile) {
  openStandardStreams();
  selectEdition(profile);
  if (const WriteResult problem = openFolder()) {
    std::error_code ignored;
    const std::string folder = std::filesystem::current_path(ignored).string();
    const std::string reason = problem->file.empty() ? std::strerror(problem->code) : problem->describe();
    std::fprintf(stderr, "%s: cannot write the folder %s: %s\n", program, folder.c_str(), reason.c_str());
    std::exit(1);
  }
}

}  // namespace cm
