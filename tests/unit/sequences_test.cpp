#include "control/main_controller.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/display.h"
#include "output/edition.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "store/journal.h"
#include "support/fake_platform.h"
#include "support/machine_fixture.h"
#include "support/text_count.h"

namespace cm {
namespace {

const char* const kTwoBeeps = "\a\n[pause 1]\a\n[pause 1]";

class SequencesTest : public test::MachineTest {
 protected:
  std::string brew(int water, int beans, int powder, CoffeeRequest request) {
    startCapture();
    mainController(0, 0, water, beans, powder, request, 0);
    return finishCapture();
  }
  std::string brewWithLevels(int water, int powder, int beans, CoffeeRequest request) {
    setLevels(water, powder, beans);
    return brew(waterInterface(), beanInterface(), powderInterface(), request);
  }
  std::string clean() {
    startCapture();
    mainController(1, 0, 0, 0, 0, nonData, 0);
    return finishCapture();
  }
  void expectLevels(const char* water, const char* powder, const char* beans) {
    EXPECT_EQ(readFile(kWaterFile), water);
    EXPECT_EQ(readFile(kPowderFile), powder);
    EXPECT_EQ(readFile(kBeanFile), beans);
  }
};

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

using test::count;

TEST_F(SequencesTest, CleaningNeedsFiveHundredMillilitres) {
  setLevels(499, 0, 0);
  isPowderRemain = 1;
  std::string out = clean();
  EXPECT_NE(out.find("** no water "), std::string::npos);
  EXPECT_TRUE(endsWith(out, kTwoBeeps));
  EXPECT_EQ(readFile(kWaterFile), "499");
  EXPECT_EQ(isPowderRemain, 1);

  writeFile(kWaterFile, "500");
  fake::resetPlatform(fake::christmasEve());
  out = clean();
  EXPECT_EQ(count(out, "** Cleaning"), 10u);
  EXPECT_TRUE(endsWith(out,
                       "** cleaning is finished.              **\n"
                       "**                                    **\n"
                       "**                                    **\n"
                       "****************************************\n[pause 3]"));
  EXPECT_EQ(out.find('\a'), std::string::npos);
  EXPECT_EQ(readFile(kWaterFile), "0");
  EXPECT_EQ(isPowderRemain, 0);
  EXPECT_EQ(isRotate + isSpin + isShower, 3);
  EXPECT_EQ(fake::totalPauseSeconds(), 13);
}

TEST_F(SequencesTest, ColdBrewThenSecondBrewIsRefusedUntilCleaned) {
  std::string out = brewWithLevels(1000, 10, 100, {200, 0});
  EXPECT_EQ(out.find("Boiling"), std::string::npos);
  EXPECT_EQ(count(out, "** Coffee Making"), 11u);  // ten frames and the finished screen
  const auto beep = out.find("\a\n");
  EXPECT_LT(beep, out.find("Coffee Making Finished..!!")) << "success beeps before its screen";
  EXPECT_GT(beep, out.rfind("Coffee Making....."));
  expectLevels("800", "0", "100");
  EXPECT_EQ(isPowderRemain, 1);
  EXPECT_EQ(concentrateData, 200);
  EXPECT_EQ(temperatureData, 0);

  out = brewWithLevels(800, 0, 100, {100, 1});
  EXPECT_NE(out.find("** powder is remain. "), std::string::npos);
  EXPECT_TRUE(endsWith(out, kTwoBeeps));
  expectLevels("800", "0", "100");
  EXPECT_EQ(concentrateData, 200) << "a refused brew records nothing";
}

TEST_F(SequencesTest, UsedPowderIsCheckedBeforeTheEmptyRequest) {
  isPowderRemain = 1;
  EXPECT_NE(brew(0, 0, 0, nonData).find("powder is remain."), std::string::npos);
  isPowderRemain = 0;
  EXPECT_EQ(brew(0, 0, 0, {0, 1}), "");
  EXPECT_EQ(concentrateData, kUnsetSelection);
  EXPECT_EQ(temperatureData, kUnsetSelection);
}

TEST_F(SequencesTest, GrindingNeedsBeansAndHappensBeforeTheWaterCheck) {
  std::string out = brewWithLevels(1000, 5, 9, {100, 0});
  EXPECT_NE(out.find("** no coffee beans "), std::string::npos);
  EXPECT_EQ(out.find("Grinding"), std::string::npos);
  EXPECT_TRUE(endsWith(out, kTwoBeeps));
  expectLevels("1000", "5", "9");

  fake::resetPlatform(fake::christmasEve());
  out = brewWithLevels(50, 5, 50, {100, 0});
  EXPECT_EQ(count(out, "** Grinding"), 5u);
  EXPECT_LT(out.find("Grinding....."), out.find("** no water "));
  EXPECT_TRUE(endsWith(out, kTwoBeeps));
  expectLevels("50", "15", "40");
  EXPECT_EQ(powderData, 15);
  EXPECT_EQ(beanData, 40);
  EXPECT_EQ(isPowderRemain, 0);
}

// A cup needs the water it takes: a HIGH one on less than 300 mL is "no
// water", so no brew takes the tank below 0.
TEST_F(SequencesTest, HotBrewBoilsThenMakesAndMayEmptyTheTank) {
  std::string out = brewWithLevels(250, 10, 100, {300, 1});
  EXPECT_NE(out.find("** no water "), std::string::npos);
  EXPECT_TRUE(endsWith(out, kTwoBeeps));
  expectLevels("250", "10", "100");

  fake::resetPlatform(fake::christmasEve());
  out = brewWithLevels(300, 10, 100, {300, 1});
  EXPECT_EQ(count(out, "** Boiling"), 10u);
  EXPECT_LT(out.rfind("** Boiling"), out.find("** Coffee Making."));
  EXPECT_NE(out.find("Coffee Making Finished..!!"), std::string::npos);
  expectLevels("0", "0", "100");
  EXPECT_EQ(fake::totalPauseSeconds(), 23);  // 10 boiling, 10 making, 3 finished
}

TEST_F(SequencesTest, InvalidCodesPassTheChecksAndFailAtTheEnd) {
  const std::string out = brewWithLevels(1000, 5, 50, {150, 1});
  EXPECT_EQ(count(out, "** Grinding"), 5u);
  EXPECT_EQ(count(out, "** Boiling"), 10u);
  EXPECT_LT(out.find("** Coffee making is failed "), out.find('\a')) << "failure shows its screen first";
  EXPECT_TRUE(endsWith(out, "[pause 3]\a\n[pause 1]\a\n[pause 1]\a\n"));
  expectLevels("1000", "15", "40");
  EXPECT_EQ(isPowderRemain, 0);
}

TEST_F(SequencesTest, OnlyMenuAndPromptCodesDrawThroughTheMainController) {
  startCapture();
  mainController(0, 0, 0, 0, 0, nonData, kCleaningAnimation);
  mainController(0, 0, 0, 0, 0, nonData, 13);
  mainController(0, 0, 0, 0, 0, nonData, 99);
  EXPECT_EQ(finishCapture(), "");
  startCapture();
  mainController(0, 0, 0, 0, 0, nonData, 17);
  EXPECT_TRUE(endsWith(finishCapture(), "time : "));

  selectEdition(kBasicEdition);
  startCapture();
  mainController(0, 0, 0, 0, 0, nonData, 17);
  EXPECT_EQ(finishCapture(), "");
}

TEST_F(SequencesTest, BasicEditionNeverWritesTheSelectionRegisters) {
  selectEdition(kBasicEdition);
  concentrateData = 0;
  temperatureData = 1;
  EXPECT_EQ(brew(0, 0, 0, {0, 1}), "");
  EXPECT_EQ(concentrateData, 0);
  EXPECT_EQ(temperatureData, 1);

  const std::string out = brewWithLevels(1000, 10, 100, {300, 0});
  EXPECT_EQ(out.find("concentrate : "), std::string::npos) << "no status header";
  EXPECT_NE(out.find("\xA1\xE1 Coffee Making Finished..!!         \xA1\xE1\n"), std::string::npos);
  EXPECT_EQ(concentrateData, 0);
  expectLevels("700", "0", "100");
}

TEST_F(SequencesTest, PowerOffClearsAndExitsWithStatusZero) {
  setLevels(1000, 10, 100);
  fake::setMarkers(false);
  EXPECT_EXIT(mainController(0, 1, 0, 0, 0, nonData, 0), ::testing::ExitedWithCode(0), "");
  expectLevels("1000", "10", "100");
}

}  // namespace
}  // namespace cm
