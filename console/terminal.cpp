#include "console/terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>

namespace cm {

namespace {

termios savedSettings{};
volatile sig_atomic_t haveSaved = 0;
termios settingsAtSuspend{};  // the mode to take up again after a Ctrl-Z

void install(int signo, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  ::sigaction(signo, &action, nullptr);
}

void restoreAndResignal(int signo) {
  const int savedErrno = errno;
  // tcgetattr and tcsetattr are async-signal-safe.
  if (signo == SIGTSTP) ::tcgetattr(0, &settingsAtSuspend);
  restoreTerminal();
  // SA_RESETHAND has put the default action back; the raised signal is
  // delivered when this handler returns: it ends the process, or for
  // SIGTSTP stops it with the shell's terminal as it was found.
  ::raise(signo);
  errno = savedErrno;
}

void resumeAfterStop(int) {
  const int savedErrno = errno;
  ::tcsetattr(0, TCSANOW, &settingsAtSuspend);
  install(SIGTSTP, restoreAndResignal);
  install(SIGCONT, resumeAfterStop);
  errno = savedErrno;
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
  for (int signo : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) install(signo, restoreAndResignal);
  if (haveSaved) {
    install(SIGTSTP, restoreAndResignal);
    install(SIGCONT, resumeAfterStop);
  }
}

}  // namespace cm
