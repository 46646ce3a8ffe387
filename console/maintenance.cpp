#include "console/maintenance.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "console/input.h"
#include "control/main_controller.h"
#include "machine/material_store.h"
#include "machine/number_text.h"
#include "machine/platform.h"
#include "output/display.h"
#include "output/edition.h"

namespace cm {

namespace {

// The material level screen stays this long.
constexpr int kMaterialHoldSeconds = 4;

std::optional<int> ask(const char* label) {
  std::fputs(label, stdout);
  return readNumberLine();
}

struct Recharge {
  int amount;
  int capacity;
  const char* warning;
  bool overflow = false;

  // The level plus the amount, clamped to the capacity. A negative amount
  // lowers the level, to 0 at most: no container holds less than nothing
  // (a level below 0 edited by hand is not raised by it either). The sum is
  // taken in 64 bits, so no amount can overflow the tests.
  int apply(int level) {
    const std::int64_t sum = std::int64_t{level} + amount;
    overflow = sum > capacity;
    if (overflow) return capacity;
    if (amount < 0 && sum < 0) return std::min(level, 0);
    return saturatingAdd(level, amount);
  }
};

}  // namespace

void renewMaterial() {
  platform::clearScreen();
  const auto water = ask("water : ");
  if (!water) return;
  const auto powder = ask("powder : ");
  if (!powder) return;
  const auto bean = ask("bean : ");
  if (!bean) return;

  platform::clearScreen();
  std::puts("charging...");
  // The three levels are one charge, from the files as they are now.
  Recharge recharges[] = {{*water, kWaterCapacity, "warning!! water is overflow.."},
                          {*powder, kPowderCapacity, "warning!! powder is overflow.."},
                          {*bean, kBeanCapacity, "warning!! bean is overflow.."}};
  const bool charged = chargeLevels([&recharges](Levels levels) {
    return Levels{recharges[0].apply(levels.water), recharges[1].apply(levels.powder),
                  recharges[2].apply(levels.beans)};
  });
  if (!charged) {
    reportFileFailure();
    return;
  }
  for (const Recharge& recharge : recharges) {
    if (recharge.overflow) std::puts(recharge.warning);
  }
  platform::pauseSeconds(kMessageHoldSeconds);
  platform::clearScreen();
  std::puts("renewMaterial finished!!");
  platform::pauseSeconds(kMessageHoldSeconds);
}

void showMaterial() {
  platform::clearScreen();
  if (edition().threeLineMaterialScreen) {
    // Each level is read just before its line.
    std::printf("\n water  : %d\tmL", waterInterface());
    std::printf("\n powder : %d\tg", powderInterface());
    std::printf("\n bean   : %d\tg ", beanInterface());
  } else {
    const int water = waterInterface();
    const int powder = powderInterface();
    const int bean = beanInterface();
    std::printf("\n water  : %d\tmL,  powder : %d g,  bean : %d g\n", water, powder, bean);
  }
  platform::pauseSeconds(kMaterialHoldSeconds);
}

}  // namespace cm
