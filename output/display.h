// The machine's display: one screen per display code.
#pragma once

#include <string>

namespace cm {

// Finished cycles of the animation being drawn; reset by every call.
extern int displayCount;
// Back to the power-on state, as a test begins.
void resetDisplayCount();

// Display codes (0 and unknown codes draw nothing).
enum DisplayCode : int {
  kMenuScreen = 1,
  kConcentratePromptScreen = 2,
  kTemperaturePrompt = 3,
  kTimePromptScreen = 4,
  kReserveConcentratePrompt = 5,
  kReserveTemperaturePrompt = 6,
  kCleaningAnimation = 7,
  kCleaningFinished = 8,
  kGrindingAnimation = 9,
  kMakingAnimation = 10,
  kCoffeeFinished = 11,
  kNoBeans = 12,
  kNoWater = 13,
  kMakingFailed = 14,
  kBoilingAnimation = 15,
  kPowderWarning = 16,
  kCleanTimePromptScreen = 17,
};

inline constexpr int kMessageHoldSeconds = 3;
inline constexpr int kWarningHoldSeconds = 2;
inline constexpr int kFrameSeconds = 1;

// Draws the screen of `code` and returns when its hold is over. Prompts are
// left on the terminal without a line end, ready for the answer.
void displayInterface(int code);

// The screen of a file that could not be read or written: "cannot read
// <file>: <reason>" (or "cannot write ...") alone on the screen, held like
// a message.
void showFileFailure(const std::string& said);

}  // namespace cm
