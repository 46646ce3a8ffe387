#include "control/make_clean_controller.h"

#include "machine/material_store.h"
#include "machine/registers.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

class MakeCleanControllerTest : public test::MachineTest {};

TEST_F(MakeCleanControllerTest, ColdBrewBooksWaterAndPowderWithoutHeating) {
  // The use is taken from the files as they are now, not from readings the
  // registers kept from before a recharge.
  setLevels(800, 10, 100);
  waterData = 300;
  powderData = 0;
  EXPECT_EQ(makeController(200, 0), 1);
  EXPECT_EQ(readFile(kWaterFile), "600");
  EXPECT_EQ(readFile(kPowderFile), "0");
  EXPECT_EQ(isPowderRemain, 1);
  EXPECT_EQ(isBoil, 0);
  EXPECT_EQ(isMake, 1);
}

TEST_F(MakeCleanControllerTest, HotBrewHeatsAndMayGoBelowZero) {
  setLevels(150, 10, 100);
  EXPECT_EQ(makeController(300, 1), 1);
  EXPECT_EQ(isBoil, 1);
  EXPECT_EQ(_isBoil, 1);
  EXPECT_EQ(_isMake, 1);
  EXPECT_EQ(readFile(kWaterFile), "-150");
}

TEST_F(MakeCleanControllerTest, InvalidCodesChangeNothing) {
  setLevels(800, 10, 100);
  waterData = 800;
  powderData = 10;
  for (auto [concentrate, temperature] : {std::pair{150, 0}, {100, 2}, {0, 0}, {250, 1}, {100, -1}}) {
    EXPECT_EQ(makeController(concentrate, temperature), 0);
  }
  EXPECT_EQ(readFile(kWaterFile), "800");
  EXPECT_EQ(readFile(kPowderFile), "10");
  EXPECT_EQ(isPowderRemain, 0);
  EXPECT_EQ(isBoil, 0) << "the concentrate is checked before the heater runs";
  EXPECT_EQ(isMake, 0);
}

TEST_F(MakeCleanControllerTest, CleaningRunsAllThreeActuatorsOnlyWhenAsked) {
  EXPECT_EQ(cleanController(0), 0);
  EXPECT_EQ(isRotate + isSpin + isShower, 0);
  EXPECT_EQ(cleanController(1), 1);
  EXPECT_EQ(isRotate, 1);
  EXPECT_EQ(isSpin, 1);
  EXPECT_EQ(isShower, 1);
  EXPECT_EQ(_isShower, 1);
}

}  // namespace
}  // namespace cm
