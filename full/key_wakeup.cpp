#include "full/key_wakeup.h"

#include <termios.h>
#include <unistd.h>

#include "console/input.h"

namespace cm::full {

namespace {
int heldKey = -1;
}

int kbhit() {
  termios saved{};
  const bool terminal = ::tcgetattr(0, &saved) == 0;
  if (terminal) {
    termios single = saved;
    single.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    single.c_cc[VMIN] = 1;
    single.c_cc[VTIME] = 0;
    ::tcsetattr(0, TCSANOW, &single);
  }
  const int key = readByte();
  // TCSANOW rather than a flush here: a booking's sequence may still be
  // running, and what is typed during it is dropped once it has ended
  // (dropTypedAhead, before the menu is drawn).
  if (terminal) ::tcsetattr(0, TCSANOW, &saved);
  heldKey = key;
  return key;
}

int getch() {
  const int key = heldKey;
  heldKey = -1;
  return key;
}

int isStart() {
  if (kbhit() == 0) return 0;
  return getch();
}

}  // namespace cm::full
