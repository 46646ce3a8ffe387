// A machine powered up in a fresh, empty working folder for every test.
#pragma once

#include "support/folder_fixture.h"

namespace cm::test {

class MachineTest : public FolderTest {
 protected:
  void SetUp() override;

  // Sets the three level files.
  void setLevels(int water, int powder, int beans) const;
};

// Every register, schedule and counter back to its power-on value.
void resetMachineState();

}  // namespace cm::test
