// The one reader of standard input (file descriptor 0), for keys and for
// typed lines alike, so no byte ever waits in a stdio buffer while a raw
// read blocks.
#pragma once

#include <optional>

namespace cm {

// Blocks for one byte: 0 to 255, or -1 once the input has ended.
int readByte();

// One byte if one is waiting right now, else -1 at once (also at the end of
// the input, which inputClosed() then reports).
int pollByte();

// True once standard input has reached its end (or failed for good).
bool inputClosed();

// Flushes the screen, then reads one line and returns it as a number when
// the whole line is one whole number in the signed 32-bit range. A line that
// is empty or holds only blanks is passed over and the next one read. The rest of
// the line is always consumed, so a bad answer never reaches the next
// prompt. End of input abandons the answer (Ctrl-D on a terminal in line
// mode only this one). Backspace and delete erase the byte before them (the basic
// edition reads lines with the terminal's own line editing off).
std::optional<int> readNumberLine();

// Drops what was typed on the terminal and not yet read (the terminal's
// TCSAFLUSH): once a key has woken the machine, nothing typed before the
// menu asks becomes a choice or an answer. Input that is not a terminal (a
// pipe, a file) is a script written whole, and stays.
void dropTypedAhead();

// Back to the power-on state, as a test begins: no end of input seen.
void resetInput();

}  // namespace cm
