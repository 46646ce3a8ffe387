// Measures both programs in a pseudo-terminal at the real clock: wake-up
// latency from key to the menu's last border row, the real length of a
// 10-frame animation, CPU time and peak memory over a standby soak, and
// skipped or repeated seconds on the standby clock. Next to the programs'
// standby CPU stands that of the floor: a shell loop that only runs "clear"
// once a second, measured in the same window.
//
//   standby_bench [--soak SECONDS] [--wakeups N]
#include <unistd.h>

#include <algorithm>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "e2e/pty_session.h"

namespace {

using cm::e2e::PtySession;
using cm::e2e::SessionOptions;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Edition {
  const char* name;
  std::string program;
  std::string menuEnd;     // the menu's third row and its last border row
  std::string firstFrame;  // the cleaning animation's first frame row
  std::string finished;    // the cleaning's result row
};

struct Figures {
  std::vector<double> wakeMs;
  double animationSeconds = 0;
  double soakSeconds = 0;
  double cpuSeconds = 0;     // process and children
  double cpuOwnSeconds = 0;  // the process alone
  long peakKiB = 0;
  int clockLines = 0;
  int skipped = 0;
  int repeated = 0;
  std::string error;
};

std::string glyphRow(const std::string& glyph, const std::string& body) {
  return glyph + body + std::string(36 - body.size(), ' ') + glyph + "\r\n";
}

std::string glyphBorder(const std::string& glyph) {
  std::string row;
  for (int i = 0; i < 20; ++i) row += glyph;
  return row + "\r\n";
}

Edition makeEdition(bool full) {
  const std::string glyph = full ? "**" : "\xA1\xE1";
  return {full ? "coffee_machine" : "coffee_machine_basic",
          full ? COFFEE_MACHINE_PATH : COFFEE_MACHINE_BASIC_PATH,
          glyphRow(glyph, full ? " 3)Cleaning 8)CleanReserve" : " 3)Cleaning") + glyphBorder(glyph),
          glyphRow(glyph, " Cleaning."), glyphRow(glyph, " cleaning is finished.")};
}

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Counts, over the clock lines in `text`, seconds that were skipped or shown twice.
void countClockSeconds(const std::string& text, Figures& figures) {
  static const std::regex line(R"((\d{1,2}) : (\d{1,2}) : (\d{1,2})\r\n)");
  long previous = -1;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it) {
    const long second = std::stol((*it)[1]) * 3600 + std::stol((*it)[2]) * 60 + std::stol((*it)[3]);
    ++figures.clockLines;
    if (previous >= 0) {
      const long step = second - previous;
      if (step == 0) ++figures.repeated;
      if (step > 1) figures.skipped += static_cast<int>(step - 1);
    }
    previous = second;
  }
}

// The three soaks (both programs and the floor) start together.
using SoakStart = std::barrier<>;

// CPU seconds of `pid` and its children over a soak of `soakSeconds`.
void soak(PtySession& process, int soakSeconds, Figures& figures) {
  process.skipToEnd();
  const auto soakStart = Clock::now();
  const double cpuBefore = cm::e2e::cpuSeconds(process.pid(), true);
  const double ownBefore = cm::e2e::cpuSeconds(process.pid(), false);
  process.drain(std::chrono::seconds(soakSeconds));
  figures.cpuSeconds = cm::e2e::cpuSeconds(process.pid(), true) - cpuBefore;
  figures.cpuOwnSeconds = cm::e2e::cpuSeconds(process.pid(), false) - ownBefore;
  figures.soakSeconds = msSince(soakStart) / 1000.0;
}

Figures measureFloor(int soakSeconds, SoakStart& start) {
  Figures figures;
  const std::filesystem::path folder = cm::e2e::makeTempFolder("coffee-bench");
  const auto script = folder / "clear-once-a-second";
  {
    std::FILE* out = std::fopen(script.c_str(), "w");
    if (out == nullptr) {
      figures.error = "cannot write the floor script";
      start.arrive_and_drop();
      return figures;
    }
    std::fputs("#!/bin/sh\nwhile :; do clear; sleep 1; done\n", out);
    std::fclose(out);
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  }
  SessionOptions options;
  options.program = script.string();
  options.folder = folder;
  options.fakeClock = false;
  {
    PtySession floor(options);
    start.arrive_and_wait();
    soak(floor, soakSeconds, figures);
  }
  std::filesystem::remove_all(folder);
  return figures;
}

Figures measure(const Edition& edition, int wakeups, int soakSeconds, SoakStart& start) {
  Figures figures;
  const std::filesystem::path folder = cm::e2e::makeSeededFolder("coffee-bench");
  if (folder.empty()) {
    figures.error = "mkdtemp failed";
    start.arrive_and_drop();
    return figures;
  }
  SessionOptions options;
  options.program = edition.program;
  options.folder = folder;
  options.fakeClock = false;
  {
    PtySession machine(options);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> phase(0, 999);
    for (int i = 0; i < wakeups && figures.error.empty(); ++i) {
      if (!machine.waitForClockLine(5s)) figures.error = "no standby clock";
      machine.drain(std::chrono::milliseconds(phase(random)));  // any moment of the second
      machine.skipToEnd();
      const auto pressed = Clock::now();
      machine.type("q");
      if (!machine.waitFor(edition.menuEnd, 5s)) figures.error = "no menu";
      figures.wakeMs.push_back(msSince(pressed));
      machine.type("9\n");
    }

    machine.waitForClockLine(5s);
    machine.type("q");
    machine.waitFor(edition.menuEnd, 5s);
    machine.type("3\n");
    if (machine.waitFor(edition.firstFrame, 5s)) {
      const auto first = Clock::now();
      if (machine.waitFor(edition.finished, 20s)) figures.animationSeconds = msSince(first) / 1000.0;
    }

    if (!machine.waitForClockLine(10s)) figures.error = "no standby after cleaning";
    start.arrive_and_wait();
    soak(machine, soakSeconds, figures);
    figures.peakKiB = cm::e2e::peakResidentKiB(machine.pid());
    countClockSeconds(machine.sinceLastMatch(), figures);
  }
  std::filesystem::remove_all(folder);
  return figures;
}

void report(const Edition& edition, Figures figures, double floorPerMinute) {
  std::printf("%s\n", edition.name);
  if (!figures.error.empty()) std::printf("  error: %s\n", figures.error.c_str());
  if (!figures.wakeMs.empty()) {
    std::sort(figures.wakeMs.begin(), figures.wakeMs.end());
    std::printf("  wake-up to menu, %zu keys: median %.1f ms, worst %.1f ms\n", figures.wakeMs.size(),
                figures.wakeMs[figures.wakeMs.size() / 2], figures.wakeMs.back());
  }
  std::printf("  10-frame cleaning animation: %.2f s\n", figures.animationSeconds);
  const double perMinute = figures.cpuSeconds / figures.soakSeconds * 60.0;
  const double ownPerMinute = figures.cpuOwnSeconds / figures.soakSeconds * 60.0;
  std::printf("  standby CPU (process and children): %.3f s per minute = %.2f %% of one core over %.0f s\n",
              perMinute, perMinute / 60.0 * 100.0, figures.soakSeconds);
  std::printf("    of which the process itself: %.3f s per minute, the \"clear\" commands the rest\n",
              ownPerMinute);
  if (floorPerMinute > 0) {
    std::printf("    the floor, \"clear\" once a second in the same window: %.3f s per minute = %.2f %%\n",
                floorPerMinute, floorPerMinute / 60.0 * 100.0);
  }
  std::printf("  peak resident memory: %.1f MiB\n", static_cast<double>(figures.peakKiB) / 1024.0);
  std::printf("  standby clock: %d lines, %d seconds skipped, %d repeated\n", figures.clockLines,
              figures.skipped, figures.repeated);
}

}  // namespace

int main(int argc, char** argv) {
  int soakSeconds = 600;
  int wakeups = 30;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--soak") soakSeconds = std::atoi(argv[i + 1]);
    if (flag == "--wakeups") wakeups = std::atoi(argv[i + 1]);
  }
  const Edition full = makeEdition(true);
  const Edition basic = makeEdition(false);
  std::printf("measuring both programs at the real clock: %d wake-ups, a cleaning, %d s of standby each\n",
              wakeups, soakSeconds);
  std::fflush(stdout);
  // The two programs and the floor are measured side by side; all idle most
  // of the time.
  SoakStart soakStart(3);
  Figures basicFigures;
  Figures floorFigures;
  std::thread basicRun([&] { basicFigures = measure(basic, wakeups, soakSeconds, soakStart); });
  std::thread floorRun([&] { floorFigures = measureFloor(soakSeconds, soakStart); });
  const Figures fullFigures = measure(full, wakeups, soakSeconds, soakStart);
  basicRun.join();
  floorRun.join();
  if (!floorFigures.error.empty()) std::printf("floor: %s\n", floorFigures.error.c_str());
  const double floorPerMinute =
      floorFigures.soakSeconds > 0 ? floorFigures.cpuSeconds / floorFigures.soakSeconds * 60.0 : 0;
  report(full, fullFigures, floorPerMinute);
  report(basic, basicFigures, floorPerMinute);
  return fullFigures.error.empty() && basicFigures.error.empty() ? 0 : 1;
}
