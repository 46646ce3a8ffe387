#include "console/maintenance.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "console/input.h"
#include "machine/material_store.h"
#include "machine/number_text.h"
#include "machine/platform.h"
#include "output/edition.h"

namespace cm {

namespace {

std::optional<int> ask(const char* label) {
  std::fputs(label, stdout);
  return readNumberLine();
}

// Adds to the level as the file holds it at this moment, clamped to the
// capacity. The sum is taken in 64 bits, so no amount can overflow the test.
void recharge(const char* path, int amount, int capacity, const char* warning) {
  bool overflow = false;
  changeLevel(path, [&](int level) {
    overflow = std::int64_t{level} + amount > capacity;
    return overflow ? capacity : saturatingAdd(level, amount);
  });
  if (overflow) std::puts(warning);
}

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
  recharge(kWaterFile, *water, kWaterCapacity, "warning!! water is overflow..");
  recharge(kPowderFile, *powder, kPowderCapacity, "warning!! powder is overflow..");
  recharge(kBeanFile, *bean, kBeanCapacity, "warning!! bean is overflow..");
  platform::pauseSeconds(3);
  platform::clearScreen();
  std::puts("renewMaterial finished!!");
  platform::pauseSeconds(3);
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
  platform::pauseSeconds(4);
}

}  // namespace cm
