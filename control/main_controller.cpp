#include "control/main_controller.h"

#include <cstdlib>

#include "control/make_clean_controller.h"
#include "machine/material_store.h"
#include "machine/number_text.h"
#include "machine/platform.h"
#include "output/display.h"
#include "output/edition.h"
#include "output/output_controller.h"
#include "store/journal.h"

namespace cm {

namespace {

// A brew needs the water its cup takes, so no brew takes the level below 0;
// a code the make controller refuses still needs the least a cup takes, as
// it gets as far as the animations.
int waterNeeded(int concentrate) {
  const Concentrate* const cup = concentrateOf(concentrate);
  return cup ? cup->water : kMinimumBrewWater;
}

bool isScreenForMainController(int code) {
  return (code >= kMenuScreen && code <= kReserveTemperaturePrompt) ||
         (code == kCleanTimePromptScreen && edition().highestDisplayCode >= kCleanTimePromptScreen);
}

// A refusal is the outcome of a booked sequence as much as a brew is: it
// consumes the booking, or says why it could not.
void refuse(int screen, int beeps = 2) {
  if (!settleBooking()) {
    reportFileFailure();
    return;
  }
  outputController(screen, 0);
  outputController(0, beeps);
}

// Returns true when the cleaning finished; false sends a failed cleaning on
// to the brew checks with the empty request.
bool runCleaning() {
  if (!readCleaningWater()) {
    reportFileFailure();
    return true;
  }
  if (waterData < kCleaningWater) {
    refuse(kNoWater);
    return true;
  }
  outputController(kCleaningAnimation, 0);
  if (cleanController(1) != 1) return false;
  const bool charged = chargeLevels(
      [](Levels levels) {
        levels.water = saturatingSub(levels.water, kCleaningWater);
        return levels;
      },
      Settles::yes);
  if (!charged) {
    reportFileFailure();
    return true;
  }
  outputController(kCleaningFinished, 0);
  isPowderRemain = 0;
  return true;
}

void runBrew(int water, int beans, int powder, CoffeeRequest request) {
  if (isPowderRemain == 1) {
    refuse(kPowderWarning);
    return;
  }
  if (edition().recordsRequest) {
    temperatureData = request.temperature;
    concentrateData = request.concentrate;
  }
  if (request.concentrate == 0) {  // the empty request ends silently
    if (edition().recordsRequest) concentrateData = temperatureData = kUnsetSelection;
    if (!settleBooking()) reportFileFailure();
    return;
  }
  if (powder < kGrindBelowPowder) {
    if (beans < kGrindBeans) {
      refuse(kNoBeans);
      return;
    }
    outputController(kGrindingAnimation, 0);
    if (grindInterface() == 1) {
      // One charge, from the files as they are after the animation, not the
      // readings before it.
      const bool ground = chargeLevels([](Levels levels) {
        levels.powder = saturatingAdd(levels.powder, kGrindBeans);
        levels.beans = saturatingSub(levels.beans, kGrindBeans);
        return levels;
      });
      if (!ground) {
        reportFileFailure();
        return;
      }
      powderData = powderInterface();
      beanData = beanInterface();
    }
  }
  // The caller's reading, taken before any grinding.
  if (water < waterNeeded(request.concentrate)) {
    refuse(kNoWater);
    return;
  }
  if (request.temperature == kHot) outputController(kBoilingAnimation, 0);
  outputController(kMakingAnimation, 0);
  lastFileFailure.reset();
  if (makeController(request.concentrate, request.temperature) == 1) {
    outputController(0, 1);
    outputController(kCoffeeFinished, 0);
  } else if (lastFileFailure) {
    reportFileFailure();
  } else {
    refuse(kMakingFailed, 3);
  }
}

}  // namespace

void brewWithLevelsNow(CoffeeRequest request) {
  if (!readBrewLevels()) {
    reportFileFailure();
    return;
  }
  mainController(0, 0, waterData, beanData, powderData, request, 0);
}

void reportFileFailure() {
  if (!lastFileFailure) return;
  showFileFailure(lastFileFailure->said());
  lastFileFailure.reset();
  outputController(0, 3);
}

void mainController(int cleanFlag, int powerFlag, int water, int beans, int powder, CoffeeRequest request,
                    int displayCode) {
  if (powerFlag == 1) {
    // Every change is already on file; the front end's exit handler gives
    // the terminal back.
    platform::clearScreen();
    std::exit(0);
  }
  if (displayCode != 0) {
    if (isScreenForMainController(displayCode)) outputController(displayCode, 0);
    return;
  }
  if (cleanFlag == 1 && runCleaning()) return;
  runBrew(water, beans, powder, request);
}

}  // namespace cm
