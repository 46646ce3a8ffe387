#include "schedule/brew_schedule.h"

#include <algorithm>
#include <cstdio>

#include "machine/platform.h"
#include "schedule/schedule_file.h"

namespace cm {

BrewSchedule reserveList;

namespace {

// Time 0 is the "nothing due" answer, so a booking at 0 is never due and
// does not hide the due bookings behind it.
const ReserveRecord* firstDue(const BrewSchedule& head, int now) {
  const auto due = std::find_if(head.bookings.begin(), head.bookings.end(),
                                [now](const ReserveRecord& r) { return r.time != 0 && r.time <= now; });
  return due == head.bookings.end() ? nullptr : &*due;
}

}  // namespace

BrewSchedule& initList(BrewSchedule& head) {
  head.bookings.clear();
  head.loadedFrom = {};  // no longer what the file holds
  return head;
}

void addList(const ReserveRecord& record, BrewSchedule& head) { head.bookings.push_back(record); }

void deleteList(const ReserveRecord& record, BrewSchedule& head) {
  auto& bookings = head.bookings;
  const auto match = std::find(bookings.begin(), bookings.end(), record);
  if (match != bookings.end()) bookings.erase(match);
}

bool pushReserveFile(const BrewSchedule& head) {
  std::vector<int> numbers;
  numbers.reserve(head.bookings.size() * 3);
  for (const ReserveRecord& r : head.bookings) {
    numbers.insert(numbers.end(), {r.time, r.concentrate, r.temperature});
  }
  return writeScheduleNumbers(kReserveFile, numbers);
}

void popReserveFile(BrewSchedule& head) {
  initList(head);
  // The identity before the read: a change in between loads once more later.
  const FileIdentity identity = fileIdentity(kReserveFile);
  std::vector<int> numbers;
  // Unread, the schedule shows and fires nothing until a later look reads it.
  if (!readScheduleNumbers(kReserveFile, numbers)) return;
  head.loadedFrom = identity;
  for (std::size_t i = 0; i + 3 <= numbers.size(); i += 3) {
    addList({numbers[i], numbers[i + 1], numbers[i + 2]}, head);
  }
}

void followReserveFile(BrewSchedule& head) {
  if (fileIdentity(kReserveFile) != head.loadedFrom) popReserveFile(head);
}

bool pushReserveData(int time, int concentrate, int temperature) {
  const bool written = appendScheduleRecord(kReserveFile, {time, concentrate, temperature});
  followReserveFile(reserveList);
  return written;
}

int isReserveTime(const BrewSchedule& head, int now) {
  const ReserveRecord* due = firstDue(head, now);
  return due ? due->time : 0;
}

CoffeeRequest searchList(const BrewSchedule& head, int now) {
  const ReserveRecord* due = firstDue(head, now);
  return due ? CoffeeRequest{due->concentrate, due->temperature} : CoffeeRequest{0, 0};
}

ReserveRecord whatReserve(const BrewSchedule& head, int now) {
  const ReserveRecord* due = firstDue(head, now);
  return due ? *due : ReserveRecord{0, 0, 0};
}

void printAllList(const BrewSchedule& head) {
  platform::clearScreen();
  if (head.bookings.empty()) {
    std::puts("no reserve..");
    platform::pauseSeconds(kEmptyListHoldSeconds);
    return;
  }
  int number = 1;
  for (const ReserveRecord& r : head.bookings) {
    std::printf("Number : %d\n", number++);
    std::printf("time : %d\n", r.time);
    std::printf("concentrate : %d\n", r.concentrate);
    std::printf("temperature : %d\n", r.temperature);
    std::printf("\n");
  }
  platform::pauseSeconds(kListHoldSeconds);
}

void printReserveTime(const BrewSchedule& head) {
  if (head.bookings.empty()) {
    std::puts("no make reserve..");
    return;
  }
  for (const ReserveRecord& r : head.bookings) std::printf("time : %d\n", r.time);
}

}  // namespace cm
