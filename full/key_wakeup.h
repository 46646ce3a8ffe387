// The key that wakes the machine from standby: read without echo and
// without Enter, then the terminal is back in line mode for the menu.
#pragma once

namespace cm::full {

// Waits for one key in single-character mode and holds it for getch().
// Returns its code, or -1 when the input has ended.
int kbhit();
// The key kbhit() waited for.
int getch();
// 0 when kbhit() saw a key with code 0, else that key's code.
int isStart();

}  // namespace cm::full
