#include "basic/keyboard.h"

#include <unistd.h>

#include <cstdio>

#include "console/input.h"
#include "console/terminal.h"

namespace cm::basic {

termios initial_settings{};
termios new_settings{};
int peek_character = -1;

void resetKeyboard() {
  initial_settings = new_settings = {};
  peek_character = -1;
}

void init_keyboard() {
  resetKeyboard();
  guardTerminal();  // also restores the terminal at exit and on signals
  ::tcgetattr(0, &initial_settings);
  new_settings = initial_settings;
  new_settings.c_lflag &= static_cast<tcflag_t>(~ICANON);
  new_settings.c_lflag &= static_cast<tcflag_t>(~ECHO);
  new_settings.c_cc[VMIN] = 1;
  new_settings.c_cc[VTIME] = 0;
  ::tcsetattr(0, TCSANOW, &new_settings);
}

void close_keyboard() { ::tcsetattr(0, TCSANOW, &initial_settings); }

int kbhit() {
  if (peek_character != -1) return 1;
  new_settings.c_cc[VMIN] = 0;
  ::tcsetattr(0, TCSANOW, &new_settings);
  // Asked through poll first: a pipe or a file ignores VMIN, and a read
  // there would wait.
  const int byte = pollByte();
  new_settings.c_cc[VMIN] = 1;
  ::tcsetattr(0, TCSANOW, &new_settings);
  if (byte < 0) return 0;  // nothing waiting, end of input or an error
  peek_character = byte;
  return 1;
}

int getch() {
  int byte;
  if (peek_character != -1) {
    byte = peek_character;
    peek_character = -1;
  } else {
    byte = readByte();
    if (byte < 0) byte = 0;
  }
  return static_cast<signed char>(static_cast<unsigned char>(byte));
}

int putch(int c) {
  std::putc(c, stdout);
  std::fflush(stdout);
  return c;
}

int isStart() {
  if (kbhit() == 0) return 0;
  return getch();
}

}  // namespace cm::basic
