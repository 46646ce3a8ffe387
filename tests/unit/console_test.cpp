#include "console/input.h"
#include "console/maintenance.h"
#include "console/menu.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "support/fake_platform.h"
#include "support/fake_stdin.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

class ConsoleTest : public test::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    setLevels(1000, 10, 100);
  }
  std::string menuWith(const std::string& typed) {
    test::FakeStdin input(typed);
    startCapture();
    runMenu();
    return finishCapture();
  }
};

TEST_F(ConsoleTest, AnswersAreWholeLinesAndTheRestOfABadLineIsDropped) {
  test::FakeStdin input("12 34\n\n \t\n200\n" + std::string(5000, '7') + "\n" + std::string(5000, ' ') +
                        "\n" + std::string(100, ' ') +
                        "9\n-5\n\x7f"
                        "3\b4\n");
  EXPECT_FALSE(readNumberLine().has_value());
  EXPECT_EQ(readNumberLine(), 200) << "a bad answer never leaks into the next; blank lines are passed over";
  EXPECT_FALSE(readNumberLine().has_value()) << "a very long line is no number";
  EXPECT_FALSE(readNumberLine().has_value()) << "however long, a blank line is passed over; a long one "
                                                "that only begins blank is no number";
  EXPECT_EQ(readNumberLine(), -5);
  EXPECT_EQ(readNumberLine(), 4) << "backspace and delete erase";
  EXPECT_FALSE(inputClosed());
  EXPECT_FALSE(readNumberLine().has_value());
  EXPECT_TRUE(inputClosed());
  EXPECT_EQ(readByte(), -1);
}

TEST_F(ConsoleTest, AnUnfinishedLineAtTheEndOfInputIsAbandoned) {
  test::FakeStdin input("200");
  EXPECT_FALSE(readNumberLine().has_value());
  EXPECT_TRUE(inputClosed());
}

TEST_F(ConsoleTest, RechargeClampsWithWarningsInOrder) {
  setLevels(900, 5, 60);
  {
    test::FakeStdin input("101\n6\n41\n");
    startCapture();
    renewMaterial();
  }
  EXPECT_EQ(finishCapture(),
            "[clear]water : powder : bean : [clear]charging...\n"
            "warning!! water is overflow..\nwarning!! powder is overflow..\nwarning!! bean is overflow..\n"
            "[pause 3][clear]renewMaterial finished!!\n[pause 3]");
  EXPECT_EQ(readFile(kWaterFile), "1000");
  EXPECT_EQ(readFile(kPowderFile), "10");
  EXPECT_EQ(readFile(kBeanFile), "100");
}

TEST_F(ConsoleTest, RechargeToExactCapacityOrDownwardsWarnsNothing) {
  setLevels(300, 5, 60);
  test::FakeStdin input("-50\n5\n40\n");
  startCapture();
  renewMaterial();
  EXPECT_EQ(finishCapture().find("warning"), std::string::npos);
  EXPECT_EQ(readFile(kWaterFile), "250");
  EXPECT_EQ(readFile(kPowderFile), "10");
  EXPECT_EQ(readFile(kBeanFile), "100");
  setLevels(-20, 5, 60);  // a level made negative by hand is raised by what is added
  test::FakeStdin more("5\n0\n0\n");
  startCapture();
  renewMaterial();
  finishCapture();
  EXPECT_EQ(readFile(kWaterFile), "-15");
}

TEST_F(ConsoleTest, RechargeNeverOverflowsAndABadAmountWritesNothing) {
  setLevels(900, 5, 60);
  {
    test::FakeStdin input("2147483647\n-2147483648\n0\n");
    startCapture();
    renewMaterial();
    finishCapture();
  }
  EXPECT_EQ(readFile(kWaterFile), "1000");
  EXPECT_EQ(readFile(kPowderFile), "0") << "a negative amount lowers a level to 0 at most";

  setLevels(900, 5, 60);
  test::FakeStdin input("10\n5\nplenty\n");
  startCapture();
  renewMaterial();
  EXPECT_EQ(finishCapture().find("charging"), std::string::npos);
  EXPECT_EQ(readFile(kWaterFile), "900");
  EXPECT_EQ(readFile(kPowderFile), "5");
}

TEST_F(ConsoleTest, MaterialScreenOfEachEdition) {
  startCapture();
  showMaterial();
  EXPECT_EQ(finishCapture(), "[clear]\n water  : 1000\tmL,  powder : 10 g,  bean : 100 g\n[pause 4]");
  selectEdition(kBasicEdition);
  startCapture();
  showMaterial();
  EXPECT_EQ(finishCapture(), "[clear]\n water  : 1000\tmL\n powder : 10\tg\n bean   : 100\tg [pause 4]");
}

TEST_F(ConsoleTest, MenuReservePathBooksFromTheTypedValues) {
  const std::string out = menuWith("2\n12241830\n200\n1\n");
  EXPECT_NE(out.find("** 2)Reserve "), std::string::npos);
  EXPECT_NE(out.find("****************************************\ntime : concentrate : temperature : "),
            std::string::npos);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n200\n1\n");
  EXPECT_EQ(register1, 12241830);
  EXPECT_EQ(register3, 1);

  // A file edited by hand into something that is not whole bookings is said
  // and left as it is.
  writeFile(kReserveFile, "12241830\n200\n1\nxx\n");
  EXPECT_NE(menuWith("2\n12290800\n100\n0\n").find("cannot read reserveData.txt: line 4: not a whole number"),
            std::string::npos);
  EXPECT_EQ(readFile(kReserveFile), "12241830\n200\n1\nxx\n");
}

TEST_F(ConsoleTest, MenuAbandonsWithoutUsingAStaleRegister) {
  register2 = 300;
  menuWith("2\n12241830\noops\n1\n");
  menuWith("1\n200\n");  // the input ends before the temperature
  // A booking's time must name a minute that comes round.
  for (const char* time : {"13010000", "99999999", "12311260", "12312400", "2300000", "4310000", "-5"}) {
    menuWith(std::string("2\n") + time + "\n200\n1\n");
    menuWith(std::string("8\n") + time + "\n");
  }
  EXPECT_FALSE(exists(kCleanReserveFile));
  menuWith("8\n2291200\n");
  EXPECT_EQ(readFile(kCleanReserveFile), "2291200\n");
  EXPECT_FALSE(exists(kReserveFile));
  EXPECT_EQ(readFile(kWaterFile), "1000");
  EXPECT_EQ(coffeeData, (CoffeeRequest{0, 0}));
}

TEST_F(ConsoleTest, CleaningBookingsExistOnlyInTheFullEdition) {
  std::string out = menuWith("8\n12250900\n");
  EXPECT_EQ(readFile(kCleanReserveFile), "12250900\n");
  out = menuWith("7\n");
  EXPECT_NE(out.find("Number : 1\ntime : 12250900\n"), std::string::npos);

  selectEdition(kBasicEdition);
  initClist(cleanList);
  std::filesystem::remove(kCleanReserveFile);
  out = menuWith("8\n12250900\n");
  EXPECT_EQ(out.find("time : "), std::string::npos);
  out = menuWith("7\n");
  EXPECT_EQ(out.find("no reserve.."), std::string::npos);
  EXPECT_EQ(out.find("Clean List"), std::string::npos);
  EXPECT_FALSE(exists(kCleanReserveFile));
}

TEST_F(ConsoleTest, MenuMakePathBrews) {
  const std::string out = menuWith("1\n300\n0\n");
  EXPECT_NE(out.find("Coffee Making Finished..!!"), std::string::npos);
  EXPECT_EQ(readFile(kWaterFile), "700");
  EXPECT_EQ(coffeeData, (CoffeeRequest{300, 0}));
}

}  // namespace
}  // namespace cm
