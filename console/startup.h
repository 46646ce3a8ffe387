// What both programs do before they touch the terminal.
#pragma once

#include "console/options.h"
#include "output/edition.h"

namespace cm {

// Answers the command line (--help, --version) and gives the program its
// standard streams and its edition. Then makes sure it can change the
// working folder's data files: when it cannot, it says so on standard
// error, naming the folder and the reason, and ends with status 1. Then it
// finishes what a program killed in the folder left, removes the temporary
// files such programs left, and powers the machine up.
void startUp(int argc, char** argv, const Program& program);

// The machine as it powers on in `profile`'s edition: every register,
// counter and cache of the shared layers at its power-on value, the
// schedules loaded from their files, no used powder, and (where the edition
// shows the selection) the selection unset. The programs' start-up and the
// tests' reset are this one function.
void powerOn(const EditionProfile& profile);

}  // namespace cm
