#include "support/fake_platform.h"

#include <cstdio>
#include <mutex>
#include <numeric>
#include <thread>

#include "machine/platform.h"

namespace cm {

namespace {

std::mutex fakeMutex;
int clears = 0;
std::vector<int> pauseLog;
std::time_t pinnedNow = 0;
bool markers = true;

}  // namespace

std::tm fake::localDate(int year, int month, int day, int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return local;
}

std::time_t fake::localTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm local = localDate(year, month, day, hour, minute, second);
  return std::mktime(&local);
}

std::time_t fake::christmasEve() { return localTime(2026, 12, 24, 18, 29, 50); }

void fake::resetPlatform(std::time_t start) {
  std::lock_guard lock(fakeMutex);
  clears = 0;
  pauseLog.clear();
  pinnedNow = start;
  markers = true;
}

void fake::setMarkers(bool on) {
  std::lock_guard lock(fakeMutex);
  markers = on;
}

int fake::clearCount() {
  std::lock_guard lock(fakeMutex);
  return clears;
}

std::vector<int> fake::pauses() {
  std::lock_guard lock(fakeMutex);
  return pauseLog;
}

int fake::totalPauseSeconds() {
  const auto all = pauses();
  return std::accumulate(all.begin(), all.end(), 0);
}

void fake::setTime(std::time_t now) {
  std::lock_guard lock(fakeMutex);
  pinnedNow = now;
}

void platform::clearScreen() {
  std::lock_guard lock(fakeMutex);
  ++clears;
  if (markers) std::fputs("[clear]", stdout);
}

void platform::pauseSeconds(int seconds) {
  std::lock_guard lock(fakeMutex);
  pauseLog.push_back(seconds);
  pinnedNow += seconds;
  if (markers) std::printf("[pause %d]", seconds);
}

bool platform::waitForNextSecond(const StopRequest& stop) {
  {
    std::lock_guard lock(fakeMutex);
    pinnedNow += 1;
  }
  // Let the other thread of a threaded test run between passes.
  std::this_thread::yield();
  return !stop.requested();
}

std::time_t platform::now() {
  std::lock_guard lock(fakeMutex);
  return pinnedNow;
}

}  // namespace cm
