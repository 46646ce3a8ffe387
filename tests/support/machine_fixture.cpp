#include "support/machine_fixture.h"

#include "basic/keyboard.h"
#include "console/startup.h"
#include "machine/material_store.h"
#include "output/edition.h"
#include "support/fake_platform.h"
#include "support/faulty_disk.h"

namespace cm::test {

void resetMachineState() {
  powerOn(kFullEdition);
  basic::resetKeyboard();
}

void MachineTest::SetUp() {
  FolderTest::SetUp();
  resetMachineState();
  fake::resetPlatform(fake::christmasEve());
  planFailingSteps("");  // the steps of the power-on do not count
}

void MachineTest::setLevels(int water, int powder, int beans) const {
  writeFile(kWaterFile, std::to_string(water));
  writeFile(kPowderFile, std::to_string(powder));
  writeFile(kBeanFile, std::to_string(beans));
}

}  // namespace cm::test
