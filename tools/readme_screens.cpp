// The screens the README shows, made by the programs themselves at a pinned
// date (7 December 2026, 18:20, under libfaketime) in a seeded folder.
//
//   readme_screens                 prints the README's screens section
//   readme_screens --check FILE    fails, showing both, when FILE's section differs

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/pty_session.h"

namespace {

using cm::e2e::PtySession;
using cm::e2e::SessionOptions;
using namespace std::chrono_literals;

const std::string kBegin = "<!-- screens: made by scripts/screens; the test command checks them -->";
const std::string kEnd = "<!-- end of screens -->";
const std::string kClear = "\x1b[H\x1b[2J";

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The screen on which `marker` first appears after `from`: the text between
// the screen clear before it and the next one, up to `endMarker` when given.
std::string screenWith(const std::string& transcript, const std::string& marker,
                       const std::string& endMarker = "") {
  const auto at = transcript.find(marker);
  if (at == std::string::npos) throw std::runtime_error("no screen shows " + marker);
  const auto begin = transcript.rfind(kClear, at) + kClear.size();
  auto end = transcript.find(kClear, at);
  if (!endMarker.empty()) end = transcript.find(endMarker, at) + endMarker.size();
  std::string screen = transcript.substr(begin, end - begin);
  replaceAll(screen, "\x1b[3J", "");
  replaceAll(screen, "\r", "");
  while (!screen.empty() && screen.back() == '\n') screen.pop_back();
  return screen;
}

void expect(PtySession& machine, const std::string& text) {
  if (!machine.waitFor(text)) throw std::runtime_error("the program never showed " + text);
}

std::string block(const std::string& title, const std::string& screen) {
  return title + "\n\n```text\n" + screen + "\n```\n\n";
}

std::string makeSection() {
  const std::filesystem::path folder = cm::e2e::makeSeededFolder("coffee-screens");
  if (folder.empty()) throw std::runtime_error("cannot make a working folder");
  // Removed however the section ends, made or not.
  const std::unique_ptr<const std::filesystem::path, void (*)(const std::filesystem::path*)> removal(
      &folder, [](const std::filesystem::path* made) { std::filesystem::remove_all(*made); });
  SessionOptions options;
  options.folder = folder;
  options.fakeStart = "2026-12-07 18:20:00";
  options.speed = 5;  // the whole brew stays inside the minute 18:20

  std::string full;
  {
    options.program = COFFEE_MACHINE_PATH;
    PtySession machine(options);
    expect(machine, "18 : 20 : 2\r\n");
    machine.type("q");
    expect(machine, "0)Power");
    machine.type("1\n");
    expect(machine, "concentrate : ");
    machine.type("200\n");
    expect(machine, "temperature : ");
    machine.type("0\n");
    expect(machine, "** Coffee Making Finished..!!");
    machine.drain(100ms);
    full = machine.transcript();
  }
  std::string basic;
  {
    options.program = COFFEE_MACHINE_BASIC_PATH;
    PtySession machine(options);
    if (!machine.waitForClockLine()) throw std::runtime_error("no clock in the basic edition");
    machine.type("k");
    expect(machine, "0)Power");
    basic = machine.transcript();
  }

  // The basic edition writes its frame glyph in CP949; shown as a CP949
  // terminal shows it.
  std::string basicMenu = screenWith(basic, "0)Power", "0)Power");
  replaceAll(basicMenu, "\xA1\xE1", "\xE2\x96\xA0");

  return kBegin + "\n\n" +
         block("Standby, both editions: the clock alone, redrawn every second",
               screenWith(full, "18 : 20 : 2\r\n")) +
         block("The full edition's menu, under its status header", screenWith(full, "0)Power", "0)Power")) +
         block("A frame of the brew animation (Make, 200, 0)", screenWith(full, "** Coffee Making...  ")) +
         block("Its result screen, held 3 seconds", screenWith(full, "** Coffee Making Finished..!!")) +
         block("The basic edition's menu, as a CP949 (EUC-KR) terminal shows it", basicMenu) + kEnd;
}

std::string readmeSection(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  const std::string text = content.str();
  const auto begin = text.find(kBegin);
  const auto end = text.find(kEnd);
  if (begin == std::string::npos || end == std::string::npos || end < begin) return "";
  return text.substr(begin, end + kEnd.size() - begin);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string section = makeSection();
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
      const std::string inReadme = readmeSection(argv[2]);
      if (inReadme == section) {
        std::printf("the README's screens are what the programs show\n");
        return 0;
      }
      std::printf(
          "the README's screens differ from what the programs show (bash scripts/screens makes them):\n"
          "--- README\n%s\n--- programs\n%s\n",
          inReadme.c_str(), section.c_str());
      return 1;
    }
    std::printf("%s\n", section.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "readme_screens: %s\n", error.what());
    return 1;
  }
}
