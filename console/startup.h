// What both programs do before they touch the terminal.
#pragma once

#include "output/edition.h"

namespace cm {

// Gives the program its standard streams and its edition, and makes sure it
// can change the working folder's data files: when it cannot, it says so on
// standard error, naming the folder and the reason, and ends with status 1.
// Then it finishes what a program killed in the folder left, and removes
// the temporary files such programs left.
void startMachine(const char* program, const EditionProfile& profile);

}  // namespace cm
