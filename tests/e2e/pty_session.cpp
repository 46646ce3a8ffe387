#include "e2e/pty_session.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace cm::e2e {

namespace {

using Clock = std::chrono::steady_clock;

// In the forked session leader: forks the job, which returns to exec the
// program in a foreground process group of its own; the leader waits for
// it like a shell and ends as it ended.
void runAsJob() {
  const pid_t job = ::fork();
  if (job == 0) {
    ::setpgid(0, 0);
    ::signal(SIGTTOU, SIG_IGN);
    ::tcsetpgrp(0, ::getpid());
    ::signal(SIGTTOU, SIG_DFL);
    return;
  }
  ::setpgid(job, job);
  int status = 0;
  while (::waitpid(job, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    ::signal(WTERMSIG(status), SIG_DFL);
    ::raise(WTERMSIG(status));
  }
  ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

}  // namespace

PtySession::PtySession(const SessionOptions& options) {
  winsize size{};
  size.ws_row = 60;
  size.ws_col = 100;
  pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
  if (pid_ < 0) throw std::runtime_error("forkpty failed");
  if (pid_ == 0) {
    if (::chdir(options.folder.c_str()) != 0) ::_exit(126);
    if (options.stdinFromDevNull) {
      const int devnull = ::open("/dev/null", O_RDONLY);
      ::dup2(devnull, 0);
      ::close(devnull);
    }
    ::setenv("TERM", "xterm", 1);
    ::setenv("TZ", "UTC", 1);
    if (!options.pathPrefix.empty()) {
      const std::string path = options.pathPrefix + ":" + std::getenv("PATH");
      ::setenv("PATH", path.c_str(), 1);
    }
    if (options.fakeClock) {
      ::setenv("LD_PRELOAD", COFFEE_FAKETIME_LIB, 1);
      const std::string fake = "@" + options.fakeStart + " x" + std::to_string(options.speed);
      ::setenv("FAKETIME", fake.c_str(), 1);
    }
    for (const std::string& variable : options.environment) ::putenv(const_cast<char*>(variable.c_str()));
    if (std::getenv("FAKETIME_TIMESTAMP_FILE") != nullptr) ::unsetenv("FAKETIME");
    // libfaketime is preloaded ahead of the sanitizer runtime.
    ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
    if (options.asNobody && ::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      if (nobody == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
          ::setuid(nobody->pw_uid) != 0) {
        ::_exit(126);
      }
    }
    if (options.jobControl) runAsJob();
    std::vector<char*> argv{const_cast<char*>(options.program.c_str())};
    for (const std::string& argument : options.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(options.program.c_str(), argv.data());
    ::_exit(127);
  }
  slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtySession::~PtySession() {
  if (!exit_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  // libfaketime removes its shared-memory files only at a normal exit.
  for (const char* prefix : {"/dev/shm/faketime_shm_", "/dev/shm/sem.faketime_sem_"}) {
    ::unlink((prefix + std::to_string(pid_)).c_str());
  }
}

void PtySession::type(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) {
        pump(5ms);
        continue;
      }
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void PtySession::pump(std::chrono::milliseconds timeout) {
  pollfd ready{master_, POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) return;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) return;
    output_.append(buffer, static_cast<std::size_t>(n));
  }
}

bool PtySession::waitFor(std::string_view text, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  bool finalLook = false;
  for (;;) {
    const std::size_t at = output_.find(text, matched_);
    if (at != std::string::npos) {
      matched_ = at + text.size();
      return true;
    }
    if (finalLook) return false;
    // Past the deadline, or the program has ended: one last look at what
    // it wrote.
    finalLook = Clock::now() >= deadline || !running();
    pump(finalLook ? 0ms : 20ms);
  }
}

bool PtySession::waitForMatch(const std::regex& pattern, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  bool finalLook = false;
  for (;;) {
    std::smatch match;
    const std::string rest = output_.substr(matched_);
    if (std::regex_search(rest, match, pattern)) {
      matched_ += static_cast<std::size_t>(match.position(0) + match.length(0));
      return true;
    }
    if (finalLook) return false;
    finalLook = Clock::now() >= deadline || !running();
    pump(finalLook ? 0ms : 20ms);
  }
}

bool PtySession::waitForClockLine(std::chrono::milliseconds timeout) {
  static const std::regex clockLine(R"(\d{4}-\d{1,2}-\d{1,2}  \d{1,2} : \d{1,2} : \d{1,2}\r?\n)");
  return waitForMatch(clockLine, timeout);
}

void PtySession::drain(std::chrono::milliseconds duration) {
  const auto deadline = Clock::now() + duration;
  while (Clock::now() < deadline) pump(10ms);
}

void PtySession::kill() {
  if (running()) ::kill(pid_, SIGKILL);
  waitExit(5s);
}

bool PtySession::running() {
  if (exit_) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) {
    exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

std::optional<int> PtySession::waitExit(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (running() && Clock::now() < deadline) pump(10ms);
  pump(0ms);
  return exit_;
}

termios PtySession::terminalSettings() const {
  termios settings{};
  ::tcgetattr(slave_, &settings);
  return settings;
}

void PtySession::signal(int signo) const { ::kill(pid_, signo); }

pid_t PtySession::foregroundGroup() const { return ::tcgetpgrp(master_); }

std::filesystem::path makeTempFolder(const std::string& name) {
  std::string pattern = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

std::filesystem::path makeSeededFolder(const std::string& name) {
  const std::filesystem::path folder = makeTempFolder(name);
  if (folder.empty()) return folder;
  for (const auto& entry : std::filesystem::directory_iterator(COFFEE_DATA_DIR)) {
    std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
  }
  return folder;
}

double cpuSeconds(pid_t pid, bool withChildren) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Fields after the command name (which is in parentheses): utime is the
  // 14th field, stime the 15th.
  std::istringstream fields(content.substr(content.rfind(')') + 2));
  std::vector<std::string> values;
  for (std::string v; fields >> v;) values.push_back(v);
  const double ticks = static_cast<double>(::sysconf(_SC_CLK_TCK));
  double total = std::stod(values.at(11)) + std::stod(values.at(12));
  if (withChildren) total += std::stod(values.at(13)) + std::stod(values.at(14));
  return total / ticks;
}

char processState(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = content.rfind(')');
  return close == std::string::npos || close + 2 >= content.size() ? '?' : content[close + 2];
}

std::vector<pid_t> zombieChildren(pid_t parent) {
  std::vector<pid_t> zombies;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "stat");
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = content.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(content.substr(close + 2));
    char state = '?';
    pid_t ppid = 0;
    fields >> state >> ppid;
    if (state == 'Z' && ppid == parent) zombies.push_back(std::stoi(name));
  }
  return zombies;
}

long peakResidentKiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace cm::e2e
