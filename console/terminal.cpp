#include "console/terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

namespace cm {

namespace {

termios savedSettings{};
volatile sig_atomic_t haveSaved = 0;

void restoreAndResignal(int signo) {
  restoreTerminal();  // tcsetattr is async-signal-safe
  // SA_RESETHAND has put the default action back; the raised signal is
  // delivered when this handler returns and ends the process as usual.
  ::raise(signo);
}

}  // namespace

void openStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1) continue;
    // open() takes the lowest free descriptor: the closed one.
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened != fd && opened >= 0) ::close(opened);
  }
}

void restoreTerminal() {
  if (haveSaved) ::tcsetattr(0, TCSANOW, &savedSettings);
}

void guardTerminal() {
  if (::tcgetattr(0, &savedSettings) == 0) haveSaved = 1;
  std::atexit(restoreTerminal);
  struct sigaction action {};
  action.sa_handler = restoreAndResignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int signo : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::sigaction(signo, &action, nullptr);
}

}  // namespace cm
