#include "console/input.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "machine/number_text.h"

namespace cm {

namespace {

std::atomic<bool> endOfInput{false};

// A line longer than any number is no number; keep only this much of it.
constexpr std::size_t kLongestAnswer = 64;

// Ctrl-D on a terminal in line mode ends the line being typed, not the
// input: the next read waits for the user again.
bool isLineModeTerminal() {
  termios settings{};
  return ::tcgetattr(0, &settings) == 0 && (settings.c_lflag & ICANON) != 0;
}

// One byte, or -1: at the end of the input (which then stays ended) or,
// when `endOfLineOnly`, at a Ctrl-D typed in line mode.
int readOne(bool endOfLineOnly) {
  if (endOfInput) return -1;
  unsigned char byte = 0;
  for (;;) {
    const ssize_t n = ::read(0, &byte, 1);
    if (n == 1) return byte;
    if (n == 0 && endOfLineOnly && isLineModeTerminal()) return -1;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      // A non-blocking descriptor inherited from the caller: wait for data.
      pollfd waitFor{0, POLLIN, 0};
      ::poll(&waitFor, 1, -1);
      continue;
    }
    endOfInput = true;
    return -1;
  }
}

}  // namespace

int readByte() { return readOne(false); }

int pollByte() {
  if (endOfInput) return -1;
  pollfd ready{0, POLLIN, 0};
  int n;
  do {
    n = ::poll(&ready, 1, 0);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return -1;
  if ((ready.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) == 0) return -1;
  if (ready.revents & POLLNVAL) {
    endOfInput = true;
    return -1;
  }
  return readByte();
}

bool inputClosed() { return endOfInput; }

std::optional<int> readNumberLine() {
  std::fflush(stdout);
  for (;;) {
    std::string line;
    bool tooLong = false;
    bool droppedOnlyBlanks = true;
    for (;;) {
      const int c = readOne(true);
      if (c < 0) return std::nullopt;  // the input ended: abandon the answer
      if (c == '\n') break;
      if (c == 0x7f || c == '\b') {
        if (!line.empty()) line.pop_back();
        continue;
      }
      const char byte = static_cast<char>(c);
      if (line.size() < kLongestAnswer) {
        line.push_back(byte);
      } else {
        tooLong = true;
        droppedOnlyBlanks = droppedOnlyBlanks && isBlankLine(std::string_view(&byte, 1));
      }
    }
    // Enter alone (or blanks alone) is passed over, as "%d" does: the
    // number is still to come.
    if (isBlankLine(line) && droppedOnlyBlanks) continue;
    if (tooLong) return std::nullopt;
    return parseWholeNumber(line);
  }
}

void dropTypedAhead() {
  if (::isatty(0)) ::tcflush(0, TCIFLUSH);
}

void resetInput() { endOfInput = false; }

}  // namespace cm
