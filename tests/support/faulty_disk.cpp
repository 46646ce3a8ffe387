#include "support/faulty_disk.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "store/disk.h"
#include "store/system_calls.h"

namespace cm {

namespace {

// "EIO", "ENOSPC", ... or the number itself; 0 when it is neither.
int errorNamed(std::string_view name) {
  static const std::pair<std::string_view, int> kNames[] = {{"EIO", EIO},       {"ENOSPC", ENOSPC},
                                                            {"EINVAL", EINVAL}, {"EDQUOT", EDQUOT},
                                                            {"EROFS", EROFS},   {"EACCES", EACCES}};
  for (const auto& [text, code] : kNames) {
    if (text == name) return code;
  }
  int code = 0;
  std::from_chars(name.data(), name.data() + name.size(), code);
  return code;
}

// "NAME#N:ERROR,NAME#M:ERROR": step to error. A step without an error
// fails with EIO.
std::map<std::string, int> parsePlan(std::string_view plan) {
  std::map<std::string, int> failing;
  while (!plan.empty()) {
    const std::string_view item = plan.substr(0, plan.find(','));
    plan.remove_prefix(std::min(plan.size(), item.size() + 1));
    const std::size_t colon = item.find(':', item.find('#'));
    const int code = colon == std::string_view::npos ? EIO : errorNamed(item.substr(colon + 1));
    failing[std::string(item.substr(0, colon))] = code != 0 ? code : EIO;
  }
  return failing;
}

const char* env(const char* name) {
  const char* text = std::getenv(name);
  return text ? text : "";
}

struct Plan {
  std::mutex mutex;
  std::map<std::string, long> occurrences;
  bool listing = *env("COFFEE_LIST_STEPS") != '\0';
  std::string killAt = env("COFFEE_KILL_AT_STEP");
  std::map<std::string, int> failing = parsePlan(env("COFFEE_FAIL_AT_STEP"));
};

Plan& plan() {
  static Plan instance;
  return instance;
}

void say(const std::string& line) {
  [[maybe_unused]] const ssize_t written = ::write(2, line.data(), line.size());
}

// What a step works on, the same in every run: a temporary file without
// the pid in its name.
std::string stableName(std::string_view file) {
  // Appended, not concatenated, which g++ 12 warns about at -O3.
  std::string pid = ".";
  pid.append(std::to_string(::getpid())).append(".tmp");
  if (file.size() > pid.size() && file.substr(file.size() - pid.size()) == pid) {
    return std::string(file.substr(0, file.size() - pid.size())) + ".tmp";
  }
  return std::string(file);
}

// True when this step is to fail; errno then holds the error.
bool stepFails(std::string_view step, std::string_view file) {
  Plan& p = plan();
  std::lock_guard lock(p.mutex);
  const std::string name = std::string(step) + " " + stableName(file);
  const std::string named = name + "#" + std::to_string(++p.occurrences[name]);
  if (p.listing) say("[step " + named + "]\n");
  if (named == p.killAt) {
    say("[killed before step " + named + "]\n");
    ::raise(SIGKILL);
  }
  const auto failing = p.failing.find(named);
  if (failing == p.failing.end()) return false;
  say("[failing step " + named + ": " + std::strerror(failing->second) + "]\n");
  errno = failing->second;
  return true;
}

}  // namespace

void test::planFailingSteps(std::string_view text) {
  Plan& p = plan();
  std::lock_guard lock(p.mutex);
  p.occurrences.clear();
  p.failing = parsePlan(text);
}

bool disk::readFile(const char* path, std::string& bytes) {
  return !stepFails("read", path) && sys::readFile(path, bytes);
}

bool disk::lookAtFile(const char* path, std::string& bytes) {
  return !stepFails("look", path) && sys::readFile(path, bytes);
}

bool disk::readAt(int fd, off_t offset, std::size_t size, std::string& bytes, const char* file) {
  return !stepFails("read", file) && sys::readAt(fd, offset, size, bytes);
}

int disk::createFile(const char* path, std::optional<mode_t> keepMode) {
  return stepFails("create", path) ? -1 : sys::createFile(path, keepMode);
}

int disk::openLockFile(const char* path) {
  struct stat info {};
  const bool creates = ::lstat(path, &info) != 0;
  return creates && stepFails("create", path) ? -1 : sys::openLockFile(path);
}

bool disk::writeAllAt(int fd, std::string_view bytes, off_t offset, const char* file) {
  return !stepFails("write", file) && sys::writeAllAt(fd, bytes, offset);
}

bool disk::syncFile(int fd, const char* file) { return !stepFails("sync", file) && sys::syncFile(fd); }

bool disk::closeFile(int fd, const char* file) {
  if (!stepFails("close", file)) return sys::closeFile(fd);
  const int error = errno;
  sys::closeFile(fd);
  errno = error;
  return false;
}

bool disk::truncateFile(int fd, off_t size, const char* file) {
  return !stepFails("truncate", file) && sys::truncateFile(fd, size);
}

bool disk::renameFile(const char* from, const char* to) {
  return !stepFails("rename", to) && sys::renameFile(from, to);
}

bool disk::syncFolder(const char* folder) { return !stepFails("sync", folder) && sys::syncFolder(folder); }

bool disk::syncFileSystem(const char* folder) {
  return !stepFails("syncfs", folder) && sys::syncFileSystem(folder);
}

void disk::removeFile(const char* path) { sys::removeFile(path); }

}  // namespace cm
