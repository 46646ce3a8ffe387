#include "machine/registers.h"

#include "support/machine_fixture.h"

namespace cm {
namespace {

class RegistersTest : public test::MachineTest {};

TEST_F(RegistersTest, SpeakerRingsTheBellOnItsOwnLine) {
  startCapture();
  speakInterface();
  EXPECT_EQ(finishCapture(), "\a\n");
}

}  // namespace
}  // namespace cm
