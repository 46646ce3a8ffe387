#include "e2e/e2e_fixture.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/file_bytes.h"

namespace cm::e2e {

void EndToEndTest::SetUp() {
  folder_ = makeSeededFolder("coffee-e2e");
  ASSERT_FALSE(folder_.empty());
}

void EndToEndTest::TearDown() {
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add);
  std::filesystem::remove_all(folder_);
  if (!pathPrefix_.empty()) std::filesystem::remove_all(pathPrefix_);
}

void EndToEndTest::useSlowClear() {
  const std::filesystem::path folder = makeTempFolder("coffee-bin");
  ASSERT_FALSE(folder.empty());
  pathPrefix_ = folder.string();
  const auto script = folder / "clear";
  test::writeBytes(script, "#!/bin/sh\nprintf '\\033[H\\033[2J[slow clear]'\nexec sleep 10\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

void EndToEndTest::stepClockTo(const std::string& at) {
  const std::filesystem::path clock = folder_ / "wall-clock";
  // Appended, not concatenated: g++ 12 warns about the latter at -O3.
  std::string file = "FAKETIME_TIMESTAMP_FILE=", time = "@";
  environment_ = {file.append(clock.string()), "FAKETIME_NO_CACHE=1"};
  test::writeBytes(clock, time.append(at).append(" x20\n"));
}

std::unique_ptr<PtySession> EndToEndTest::start(const std::string& program, bool stdinFromDevNull,
                                                const std::string& fakeStart) {
  SessionOptions options;
  options.program = program;
  options.folder = folder_;
  options.stdinFromDevNull = stdinFromDevNull;
  options.fakeStart = fakeStart;
  options.pathPrefix = pathPrefix_;
  options.environment = environment_;
  return std::make_unique<PtySession>(options);
}

std::unique_ptr<PtySession> EndToEndTest::startAsNobody(const std::string& program, bool nobodysFolder) {
  SessionOptions options;
  options.program = program;
  options.folder = folder_;
  options.asNobody = true;
  using std::filesystem::perms;
  if (::geteuid() == 0) {
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr) throw std::runtime_error("no user nobody");
    const uid_t owner = nobodysFolder ? nobody->pw_uid : 0;
    const gid_t group = nobodysFolder ? nobody->pw_gid : 0;
    std::vector<std::filesystem::path> paths{folder_};
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) paths.push_back(entry.path());
    for (const auto& path : paths) {
      if (::chown(path.c_str(), owner, group) != 0) throw std::runtime_error("chown " + path.string());
    }
    std::filesystem::permissions(folder_, perms{0755});
    if (pathPrefix_.empty()) pathPrefix_ = makeTempFolder("coffee-bin").string();
    const auto copy = std::filesystem::path(pathPrefix_) / std::filesystem::path(program).filename();
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(pathPrefix_, perms{0755});
    options.program = copy.string();
    options.pathPrefix = pathPrefix_;
  } else if (!nobodysFolder) {
    // Not root: the user's own folder, which the user may not write.
    std::filesystem::permissions(folder_, perms{0500});
  }
  return std::make_unique<PtySession>(options);
}

void EndToEndTest::writeFile(const std::string& name, const std::string& bytes) const {
  test::writeBytes(folder_ / name, bytes);
}

std::string EndToEndTest::readFile(const std::string& name) const { return test::readBytes(folder_ / name); }

void EndToEndTest::setLevels(int water, int powder, int beans) const {
  writeFile("waterSensor.txt", std::to_string(water));
  writeFile("powderSensor.txt", std::to_string(powder));
  writeFile("beanSensor.txt", std::to_string(beans));
}

std::vector<std::string> EndToEndTest::temporaryFiles(pid_t live) const {
  std::string own = ".";
  own.append(std::to_string(live)).append(".tmp");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    const std::string name = entry.path().filename().string();
    const bool temporary = name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
    const bool ownFile =
        name.size() > own.size() && name.compare(name.size() - own.size(), own.size(), own) == 0;
    if (temporary && !ownFile) names.push_back(name);
  }
  return names;
}

std::string EndToEndTest::snapshot() const {
  std::string all;
  for (const char* name :
       {"waterSensor.txt", "powderSensor.txt", "beanSensor.txt", "reserveData.txt", "cleanReserveData.txt"}) {
    all += std::string(name) + "=" + readFile(name) + ";";
  }
  return all;
}

std::filesystem::file_time_type EndToEndTest::modified(const std::string& name) const {
  return std::filesystem::last_write_time(folder_ / name);
}

void EndToEndTest::openMenu(PtySession& machine, const char* key) {
  machine.type(key);
  ASSERT_TRUE(machine.waitFor("                                 0)Power")) << machine.sinceLastMatch();
}

void EndToEndTest::answer(PtySession& machine, const char* prompt, const char* value) {
  ASSERT_TRUE(machine.waitFor(prompt)) << "no prompt " << prompt << ":\n" << machine.sinceLastMatch();
  machine.type(value);
}

namespace {

std::filesystem::path lockedPath(const std::filesystem::path& folder, FolderLockKind lock) {
  return lock == kUpdateLock ? folder / ".coffee_machine.lock" : folder;
}

// What /proc/locks says of the flock locks on the path: held by a process
// other than this one, or waited for ("1: -> FLOCK  ADVISORY  WRITE <pid>
// <major>:<minor>:<inode> 0 EOF").
struct KernelLocks {
  bool heldByAnother = false;
  bool waitedFor = false;
};
KernelLocks kernelLocks(const std::filesystem::path& path) {
  KernelLocks found;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return found;
  // Appended, not concatenated, which g++ 12 warns about at -O3.
  std::string inode = ":";
  inode += std::to_string(info.st_ino);
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream words(line);
    std::string number, kind, mode, access, id;
    long pid = 0;
    words >> number >> kind;
    const bool waiting = kind == "->";
    if (waiting) words >> kind;
    words >> mode >> access >> pid >> id;
    if (kind != "FLOCK" || !id.ends_with(inode)) continue;
    if (waiting) found.waitedFor = true;
    if (!waiting && pid != ::getpid()) found.heldByAnother = true;
  }
  return found;
}

}  // namespace

HeldLock::HeldLock(const std::filesystem::path& folder, FolderLockKind lock)
    : fd_(lock == kUpdateLock ? ::open(lockedPath(folder, lock).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)
                              : ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) throw std::runtime_error("cannot take the lock");
}

HeldLock::~HeldLock() { ::close(fd_); }

bool lockedByAProgram(const std::filesystem::path& folder, FolderLockKind lock) {
  return kernelLocks(lockedPath(folder, lock)).heldByAnother;
}

bool untilItWaitsFor(PtySession& machine, const std::filesystem::path& folder, FolderLockKind lock) {
  for (int wait = 0; wait < 2000; ++wait) {
    if (kernelLocks(lockedPath(folder, lock)).waitedFor) return true;
    machine.drain(10ms);
  }
  return false;
}

bool isLineModeWithEcho(const termios& settings) {
  return (settings.c_lflag & ICANON) != 0 && (settings.c_lflag & ECHO) != 0;
}

}  // namespace cm::e2e
