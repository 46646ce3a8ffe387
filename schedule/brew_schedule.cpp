#include "schedule/brew_schedule.h"

#include <algorithm>
#include <cstdio>

#include "machine/platform.h"
#include "schedule/schedule_file.h"
#include "schedule/booking_text.h"

namespace cm {

BrewSchedule reserveList;

namespace {

constexpr std::size_t kBookingNumbers = 3;  // time, concentrate, temperature

// The minute of a leap year that a stamp names, from 0 at 1 January 0:00.
int minuteOfYear(int stamp) {
  static constexpr int kDaysBefore[] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
  const int month = stamp / 1000000;
  const int day = stamp / 10000 % 100;
  return ((kDaysBefore[month - 1] + day - 1) * 24 + stamp / 100 % 100) * 60 + stamp % 100;
}

// The year is counted with 29 February in it every time: a common year's
// clock skips that day, and its bookings then fall due on 1 March at 0:00.
constexpr int kYearMinutes = 366 * 24 * 60;

const ReserveRecord* firstDue(const BrewSchedule& head, int now) {
  const auto due = std::find_if(head.bookings.begin(), head.bookings.end(),
                                [now](const ReserveRecord& r) { return isDue(r.time, now); });
  return due == head.bookings.end() ? nullptr : &*due;
}

}  // namespace

bool isDue(int time, int now) {
  if (!namesMinute(time) || !namesMinute(now)) return false;
  const int ahead = ((minuteOfYear(time) - minuteOfYear(now)) % kYearMinutes + kYearMinutes) % kYearMinutes;
  // Exactly half a year away, the minute is still to come.
  return ahead == 0 || ahead > kYearMinutes / 2;
}

BrewSchedule& initList(BrewSchedule& head) {
  head.bookings.clear();
  head.loadedFrom = {};  // no longer what the file holds
  head.textFault.reset();
  head.textFaultTold = false;
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
  std::vector<int> numbers;
  // Unread or not understood, the schedule shows and fires nothing.
  if (!loadScheduleNumbers(kReserveFile, kBookingNumbers, numbers, head.loadedFrom, head.textFault)) return;
  for (std::size_t i = 0; i + kBookingNumbers <= numbers.size(); i += kBookingNumbers) {
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
