#include "console/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/input.h"
#include "console/menu.h"
#include "console/options.h"
#include "console/terminal.h"
#include "control/booking_runner.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/display.h"
#include "output/edition.h"
#include "output/status_header.h"
#include "schedule/booking_text.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal.h"

namespace cm {

namespace {

// The folder's data files, as the layers that own them name them, for the
// storage engine: the level files, and the booking files with the way a
// fired booking leaves each.
void keepDataFiles() {
  std::vector<KeptFile> files;
  for (const char* level : kLevelFiles) files.push_back({level});
  for (const char* bookings : {kReserveFile, kCleanReserveFile}) files.push_back({bookings, withoutBooking});
  keepFiles(std::move(files));
}

}  // namespace

void powerOn(const EditionProfile& profile) {
  keepDataFiles();
  selectEdition(profile);
  resetRegisters();  // a restart forgets used powder, among the rest
  resetLevelRegisters();
  resetFileFailure();
  resetClockReading();
  resetDisplayCount();
  resetFailedBookings();
  resetMenuRegisters();
  resetInput();
  initList(reserveList);
  popReserveFile(reserveList);
  initClist(cleanList);
  if (edition().cleanSchedule) popCleanFile(cleanList);
  if (edition().recordsRequest) temperatureData = concentrateData = kUnsetSelection;
}

void startUp(int argc, char** argv, const Program& program) {
  readCommandLine(argc, argv, program);
  openStandardStreams();
  keepDataFiles();
  if (const FileResult problem = openFolder()) {
    std::error_code ignored;
    const std::string folder = std::filesystem::current_path(ignored).string();
    const std::string reason = problem->file.empty() ? std::strerror(problem->code) : problem->describe();
    std::fprintf(stderr, "%s: cannot %s the folder %s: %s\n", program.name,
                 problem->access == FileAccess::read ? "read" : "write", folder.c_str(), reason.c_str());
    std::exit(1);
  }
  powerOn(program.edition);
}

}  // namespace cm
