#include "console/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/options.h"
#include "console/terminal.h"
#include "machine/journal.h"
#include "machine/registers.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {

void startUp(int argc, char** argv, const Program& program) {
  readCommandLine(argc, argv, program);
  openStandardStreams();
  selectEdition(program.edition);
  if (const FileResult problem = openFolder()) {
    std::error_code ignored;
    const std::string folder = std::filesystem::current_path(ignored).string();
    const std::string reason = problem->file.empty() ? std::strerror(problem->code) : problem->describe();
    std::fprintf(stderr, "%s: cannot %s the folder %s: %s\n", program.name,
                 problem->access == FileAccess::read ? "read" : "write", folder.c_str(), reason.c_str());
    std::exit(1);
  }
  nonData = {0, 0};
  initList(reserveList);
  popReserveFile(reserveList);
  if (edition().cleanSchedule) {
    initClist(cleanList);
    popCleanFile(cleanList);
  }
  isPowderRemain = 0;  // a restart forgets used powder
  if (edition().recordsRequest) temperatureData = concentrateData = kUnsetSelection;
}

}  // namespace cm
