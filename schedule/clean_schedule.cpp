#include "schedule/clean_schedule.h"

#include <algorithm>
#include <cstdio>

#include "machine/platform.h"
#include "schedule/brew_schedule.h"
#include "schedule/schedule_file.h"

namespace cm {

CleanSchedule cleanList;

CleanSchedule& initClist(CleanSchedule& head) {
  head.times.clear();
  head.loadedFrom = {};
  head.textFault.reset();
  head.textFaultTold = false;
  return head;
}

void addClist(int time, CleanSchedule& head) { head.times.push_back(time); }

void deleteClist(int time, CleanSchedule& head) {
  const auto match = std::find(head.times.begin(), head.times.end(), time);
  if (match != head.times.end()) head.times.erase(match);
}

bool pushCleanFile(const CleanSchedule& head) { return writeScheduleNumbers(kCleanReserveFile, head.times); }

void popCleanFile(CleanSchedule& head) {
  initClist(head);
  // As for brews: unread or not understood, nothing shows or fires.
  loadScheduleNumbers(kCleanReserveFile, 1, head.times, head.loadedFrom, head.textFault);
}

void followCleanFile(CleanSchedule& head) {
  if (fileIdentity(kCleanReserveFile) != head.loadedFrom) popCleanFile(head);
}

bool pushCleanData(int time) {
  const bool written = appendScheduleRecord(kCleanReserveFile, {time});
  followCleanFile(cleanList);
  return written;
}

int isCleanTime(const CleanSchedule& head, int now) {
  const auto due = std::find_if(head.times.begin(), head.times.end(), [now](int t) { return isDue(t, now); });
  return due == head.times.end() ? 0 : *due;
}

int whatClean(const CleanSchedule& head, int now) { return isCleanTime(head, now); }

void printAllClist(const CleanSchedule& head) {
  platform::clearScreen();
  if (head.times.empty()) {
    std::puts("no reserve..");
    platform::pauseSeconds(kEmptyListHoldSeconds);
    return;
  }
  int number = 1;
  for (int time : head.times) {
    std::printf("Number : %d\n", number++);
    std::printf("time : %d\n", time);
  }
  platform::pauseSeconds(kListHoldSeconds);
}

void printCleanTime(const CleanSchedule& head) {
  if (head.times.empty()) {
    std::puts("no clean reserve..");
    return;
  }
  for (int time : head.times) std::printf("time : %d\n", time);
}

}  // namespace cm
