// The basic edition's keyboard: the terminal stays in keyboard mode (no line
// mode, no echo) for the whole run, and a key is noticed without waiting.
#pragma once

#include <termios.h>

namespace cm::basic {

extern termios initial_settings;  // as found at start-up
extern termios new_settings;      // keyboard mode
extern int peek_character;        // one byte of look-ahead, -1 when empty

void init_keyboard();
// No program calls it: the terminal guard (console/terminal.h) restores the
// settings at every exit, power-off included.
void close_keyboard();
// 1 when a key is waiting (it is then held in the look-ahead); never blocks.
int kbhit();
// The next key: the look-ahead first. Bytes 0x80-0xFF come back negative.
int getch();
// No program calls it: the screens are printed whole.
int putch(int c);
// 0 at once when no key waits, else the waiting key.
int isStart();

// Back to the power-on state, as a test begins.
void resetKeyboard();

}  // namespace cm::basic
