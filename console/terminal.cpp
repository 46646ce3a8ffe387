#include "console/terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace cm {

namespace {

termios savedSettings{};
volatile sig_atomic_t haveSaved = 0;
termios settingsAtSuspend{};  // the mode to take up again after a Ctrl-Z

// Every signal whose default action ends the process (SIGKILL alone cannot
// be caught), the real-time ones besides where there are any: each gives the terminal back and
// then ends the program as it would have.
constexpr int kEndingSignals[] = {
    SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1,
    SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef __linux__
    SIGIO,  // on the BSDs and macOS it is ignored by default
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// What each signal did before: mostly the default action, in the tests also
// a sanitizer's report.
struct sigaction previousActions[NSIG];

bool isFault(int signo) { return signo == SIGSEGV || signo == SIGBUS || signo == SIGFPE || signo == SIGILL; }

void restoreAndResignal(int signo, siginfo_t* info, void*) {
  const int savedErrno = errno;
  // tcgetattr, tcsetattr, sigaction and raise are async-signal-safe.
  if (signo == SIGTSTP) ::tcgetattr(0, &settingsAtSuspend);
  restoreTerminal();
  ::sigaction(signo, &previousActions[signo], nullptr);
  // A fault the kernel found comes again when the instruction runs again;
  // any other signal is raised again and delivered when this handler
  // returns: it ends the process, or for SIGTSTP stops it with the shell's
  // terminal as it was found.
  if (!(isFault(signo) && info != nullptr && info->si_code > 0)) ::raise(signo);
  errno = savedErrno;
}

void install(int signo) {
  struct sigaction action {};
  action.sa_sigaction = restoreAndResignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_SIGINFO;
  struct sigaction found {};
  if (::sigaction(signo, &action, &found) != 0 || found.sa_sigaction == restoreAndResignal) return;
  // One ignored where the program was started (nohup, trap '') stays
  // ignored: that is the caller's wish, and it ends nothing.
  if ((found.sa_flags & SA_SIGINFO) == 0 && found.sa_handler == SIG_IGN) {
    ::sigaction(signo, &found, nullptr);
    return;
  }
  previousActions[signo] = found;
}

void resumeAfterStop(int) {
  const int savedErrno = errno;
  ::tcsetattr(0, TCSANOW, &settingsAtSuspend);
  install(SIGTSTP);
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
  for (int signo : kEndingSignals) install(signo);
#ifdef SIGRTMIN  // the real-time signals, where the system has them
  for (int signo = SIGRTMIN; signo <= SIGRTMAX; ++signo) install(signo);
#endif
  if (haveSaved) {
    install(SIGTSTP);
    struct sigaction resume {};
    resume.sa_handler = resumeAfterStop;
    sigemptyset(&resume.sa_mask);
    ::sigaction(SIGCONT, &resume, nullptr);
  }
}

}  // namespace cm
