#include "output/output_controller.h"

#include "machine/platform.h"
#include "machine/registers.h"
#include "output/display.h"
#include "output/edition.h"

namespace cm {

namespace {

// 1: one beep. 2: beep, pause, beep, pause. 3: beep, pause, beep, pause, beep.
void sound(int pattern) {
  speakInterface();
  for (int beep = 2; beep <= pattern; ++beep) {
    platform::pauseSeconds(1);
    speakInterface();
  }
  if (pattern == 2) platform::pauseSeconds(1);
}

}  // namespace

int outputController(int displayCode, int beepPattern) {
  if (displayCode != 0 && beepPattern == 0) {
    if (displayCode < 1 || displayCode > edition().highestDisplayCode) return 0;
    displayInterface(displayCode);
    return 1;
  }
  if (displayCode == 0 && beepPattern != 0) {
    if (beepPattern < 1 || beepPattern > 3) return 0;
    sound(beepPattern);
    return 1;
  }
  return 0;
}

}  // namespace cm
