// Gives the user back the terminal as it was found: the settings of
// standard input are saved once at start-up and restored at every exit,
// including the end by any signal whose default action ends the process
// (SIGPIPE, and SIGABRT, as std::terminate raises it, among them).
#pragma once

namespace cm {

// Opens /dev/null on any of standard input, output and error that the
// program was started without, so that no data file can be given one of
// those descriptors and receive screen output (or be read as keys).
void openStandardStreams();

// Saves the current settings (when standard input is a terminal) and
// arranges for their restoration at exit and on every signal that ends the
// process, which then ends it as it would have (one table, terminal.cpp). Ctrl-Z (SIGTSTP) also gives the
// shell the settings as found, and the program takes up its own mode again when it is continued.
void guardTerminal();

// Puts the saved settings back; safe inside a signal handler.
void restoreTerminal();

}  // namespace cm
