#include "output/status_header.h"

#include <cstdio>
#include <optional>
#include <string>

#include "machine/material_store.h"
#include "machine/platform.h"
#include "machine/registers.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"

namespace cm {

std::time_t timer = 0;
std::tm t{};
int currentTime = 0;

void resetClockReading() {
  timer = 0;
  t = {};
  currentTime = 0;
}

int minuteStamp(const std::tm& local) {
  return (local.tm_mon + 1) * 1000000 + local.tm_mday * 10000 + local.tm_hour * 100 + local.tm_min;
}

void readClock() {
  timer = platform::now();
  localtime_r(&timer, &t);
  currentTime = minuteStamp(t);
}

void printClockLine(const std::tm& local) {
  std::printf("%d-%d-%d  %d : %d : %d\n", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
              local.tm_hour, local.tm_min, local.tm_sec);
  std::fflush(stdout);
}

namespace {

// A line for the codes the header names; nothing for any other.
std::optional<std::string> concentrateLine(int code) {
  if (code == kUnsetSelection) return "concentrate : ";
  if (const Concentrate* concentrate = concentrateOf(code)) {
    return std::string("concentrate : ") + concentrate->name + " ";
  }
  return std::nullopt;
}

const char* temperatureLine(int code) {
  switch (code) {
    case kCold:
      return "temperature : COLD ";
    case kHot:
      return "temperature : HOT ";
    case kUnsetSelection:
      return "temperature : ";
    default:
      return nullptr;
  }
}

}  // namespace

void bios_function() {
  // One clock reading serves the date line and the minute stamp.
  readClock();
  std::printf("\n");
  std::printf("%d-%d-%d  %d : %d \n", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
  if (const auto line = concentrateLine(concentrateData)) std::puts(line->c_str());
  if (const char* line = temperatureLine(temperatureData)) std::puts(line);
  const int water = waterInterface();
  const int powder = powderInterface();
  const int bean = beanInterface();
  std::printf("water  : %d\tmL,  powder : %d g,  bean : %d g\n", water, powder, bean);
  std::puts(isPowderRemain == 1 ? "powder : o,  plz clean.." : "powder : x");
  followReserveFile(reserveList);
  followCleanFile(cleanList);
  std::puts("timeTable>>");
  printReserveTime(reserveList);
  std::puts("cleanTable>>");
  printCleanTime(cleanList);
  std::puts("-----------------------------------------------------------");
}

}  // namespace cm
