#include "output/display.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "machine/platform.h"
#include "output/edition.h"
#include "output/screen_text.h"
#include "output/status_header.h"

namespace cm {

int displayCount = 0;
void resetDisplayCount() { displayCount = 0; }

namespace {

using Rows = std::initializer_list<std::string_view>;

void drawFramedScreen(std::string_view banner, Rows body) {
  platform::clearScreen();
  if (edition().statusHeader) bios_function();
  const std::string border = borderRow();
  std::puts(border.c_str());
  std::puts(framedRow(banner).c_str());
  for (std::string_view row : body) std::puts(framedRow(row).c_str());
  std::puts(border.c_str());
}

void showPrompt(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

// A standby screen whose last line is a prompt awaiting the answer.
void drawPromptScreen(const char* promptText) {
  const std::string_view first = edition().standbyRow ? rowtext::kStandby : rowtext::kBlank;
  drawFramedScreen(rowtext::kScreenBanner, {first, rowtext::kBlank, rowtext::kBlank});
  showPrompt(promptText);
}

void drawMessage(std::string_view message, int holdSeconds) {
  drawFramedScreen(rowtext::kScreenBanner, {message, rowtext::kBlank, rowtext::kBlank});
  platform::pauseSeconds(holdSeconds);
}

// Five frames per cycle, the word followed by one to five dots, one second
// each, for cycles 0 up to and including `cycleLimit`.
void drawAnimation(std::string_view word, int cycleLimit) {
  while (displayCount <= cycleLimit) {
    for (int dots = 1; dots <= 5; ++dots) {
      std::string frame = " ";
      frame.append(word);
      frame.append(static_cast<std::size_t>(dots), '.');
      drawFramedScreen(rowtext::kScreenBanner, {frame, rowtext::kBlank, rowtext::kBlank});
      platform::pauseSeconds(kFrameSeconds);
    }
    ++displayCount;
  }
}

}  // namespace

void displayInterface(int code) {
  displayCount = 0;
  if (code > edition().highestDisplayCode) return;
  switch (code) {
    case kMenuScreen:
      drawFramedScreen(rowtext::kMenuBanner, {rowtext::kMake, rowtext::kReserve, edition().thirdMenuRow});
      break;
    case kConcentratePromptScreen:
      drawPromptScreen(prompt::kConcentrate);
      break;
    case kTemperaturePrompt:
      showPrompt(prompt::kTemperature);
      break;
    case kTimePromptScreen:
    case kCleanTimePromptScreen:
      drawPromptScreen(prompt::kTime);
      break;
    case kReserveConcentratePrompt:
      showPrompt(prompt::kConcentrate);
      break;
    case kReserveTemperaturePrompt:
      showPrompt(prompt::kTemperature);
      break;
    case kCleaningAnimation:
      drawAnimation("Cleaning", 1);
      break;
    case kCleaningFinished:
      drawMessage(rowtext::kCleaningFinished, kMessageHoldSeconds);
      break;
    case kGrindingAnimation:
      drawAnimation("Grinding", 0);
      break;
    case kMakingAnimation:
      drawAnimation("Coffee Making", 1);
      break;
    case kCoffeeFinished:
      drawMessage(rowtext::kCoffeeFinished, kMessageHoldSeconds);
      break;
    case kNoBeans:
      drawMessage(rowtext::kNoBeans, kMessageHoldSeconds);
      break;
    case kNoWater:
      drawMessage(rowtext::kNoWater, kMessageHoldSeconds);
      break;
    case kMakingFailed:
      drawMessage(rowtext::kMakingFailed, kMessageHoldSeconds);
      break;
    case kBoilingAnimation:
      drawAnimation("Boiling", 1);
      break;
    case kPowderWarning:
      drawFramedScreen(rowtext::kScreenBanner,
                       {rowtext::kWarning, rowtext::kPowderRemains, rowtext::kCleanFirst});
      platform::pauseSeconds(kWarningHoldSeconds);
      break;
    default:
      break;  // 0 and unknown codes draw nothing
  }
}

void showFileFailure(const std::string& said) {
  platform::clearScreen();
  std::printf("%s\n", said.c_str());
  platform::pauseSeconds(kMessageHoldSeconds);
}

}  // namespace cm
