// The logic controller: a typed request or booking routed to the coffee
// request, the brew schedule or the cleaning schedule.
#include "control/logic_controller.h"

#include "machine/registers.h"
#include "output/edition.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/data_file.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

class LogicControllerTest : public test::MachineTest {};

TEST_F(LogicControllerTest, RoutesRequestsAndBookings) {
  // Reserve path: the input interfaces have just been set.
  temperatureInterface(1);
  concentrateInterface(200);
  EXPECT_EQ(logicController(timeInterface(12241830), 200, 1), kStoredBooking);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n200\n1\n");
  EXPECT_EQ(isReserve, 1);

  EXPECT_EQ(logicController(0, 300, 0), kStoredRequest);
  EXPECT_EQ(coffeeData, (CoffeeRequest{300, 0}));
  EXPECT_EQ(isReserve, 0);
  EXPECT_EQ(reserveList.bookings.size(), 1u);

  temperatureInterface(0);
  concentrateInterface(0);
  EXPECT_EQ(logicController(timeInterface(12241830), 0, 0), kStoredBooking);
  EXPECT_EQ(readFile(kCleanReserveFile), "12241830\n");

  temperatureInterface(1);
  concentrateInterface(0);
  logicController(timeInterface(12241900), 0, 1);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n200\n1\n12241900\n0\n1\n");

  concentrateData = 300;  // CleanReserve passes its time straight through
  logicController(12250900, 0, 0);
  EXPECT_EQ(readFile(kCleanReserveFile), "12241830\n12250900\n");
}

TEST_F(LogicControllerTest, BasicEditionBooksEveryTimeAsABrew) {
  selectEdition(kBasicEdition);
  temperatureInterface(0);
  concentrateInterface(0);
  EXPECT_EQ(logicController(timeInterface(12241830), 0, 0), kStoredBooking);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n0\n0\n");
  EXPECT_FALSE(exists(kCleanReserveFile));
}

}  // namespace
}  // namespace cm
