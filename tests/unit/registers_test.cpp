#include "machine/registers.h"

#include "support/machine_fixture.h"

namespace cm {
namespace {

class RegistersTest : public test::MachineTest {};

TEST_F(RegistersTest, InputInterfacesStoreTheirValue) {
  EXPECT_EQ(timeInterface(12241830), 12241830);
  EXPECT_EQ(timeData, 12241830);
  EXPECT_EQ(isReserve, 1);
  EXPECT_EQ(concentrateInterface(300), 300);
  EXPECT_EQ(temperatureInterface(1), 1);
  EXPECT_EQ(concentrateData, 300);
  EXPECT_EQ(temperatureData, 1);
}

TEST_F(RegistersTest, ActuatorsStayRunOnceRun) {
  EXPECT_EQ(grindInterface(), 1);
  EXPECT_EQ(grindInterface(), 1);
  EXPECT_EQ(isGrind, 1);
  EXPECT_EQ(isBoil, 0);
}

TEST_F(RegistersTest, CoffeeRequestRoundTripLeavesTheEmptyRequestAlone) {
  pushCoffeeData(200, 1);
  EXPECT_EQ(popCoffeeData(), (CoffeeRequest{200, 1}));
  EXPECT_EQ(nonData, (CoffeeRequest{0, 0}));
}

TEST_F(RegistersTest, SpeakerRingsTheBellOnItsOwnLine) {
  startCapture();
  speakInterface();
  EXPECT_EQ(finishCapture(), "\a\n");
}

}  // namespace
}  // namespace cm
