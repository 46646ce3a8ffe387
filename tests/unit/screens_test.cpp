#include <string>
#include <vector>

#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/display.h"
#include "output/edition.h"
#include "output/output_controller.h"
#include "output/status_header.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "support/fake_platform.h"
#include "support/machine_fixture.h"

namespace cm {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
    out.push_back(text.substr(start, nl - start));
  }
  return out;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class ScreensTest : public test::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    setLevels(1000, 10, 100);
    concentrateData = temperatureData = kUnsetSelection;
  }
  std::string draw(int code) {
    startCapture();
    displayInterface(code);
    return finishCapture();
  }
  std::string header() {
    startCapture();
    bios_function();
    return finishCapture();
  }
};

const char* const kEmptyHeader =
    "\n"
    "2026-12-24  18 : 29 \n"
    "concentrate : \n"
    "temperature : \n"
    "water  : 1000\tmL,  powder : 10 g,  bean : 100 g\n"
    "powder : x\n"
    "timeTable>>\n"
    "no make reserve..\n"
    "cleanTable>>\n"
    "no clean reserve..\n"
    "-----------------------------------------------------------\n";

TEST_F(ScreensTest, FullMenuScreenByteForByte) {
  EXPECT_EQ(draw(kMenuScreen), std::string("[clear]") + kEmptyHeader +
                                   "****************************************\n"
                                   "**       ==VORNE_Coffee Machine==     **\n"
                                   "** 1)Make                             **\n"
                                   "** 2)Reserve                          **\n"
                                   "** 3)Cleaning 8)CleanReserve          **\n"
                                   "****************************************\n");
  EXPECT_TRUE(fake::pauses().empty());
}

TEST_F(ScreensTest, BasicMenuAndPromptScreensHaveGlyphFramesAndNoHeader) {
  selectEdition(kBasicEdition);
  const std::string g = "\xA1\xE1";
  const std::string border = repeat(g, 20) + "\n";
  EXPECT_EQ(draw(kMenuScreen), "[clear]" + border + g + "       ==VORNE_Coffee Machine==     " + g + "\n" +
                                   g + " 1)Make                             " + g + "\n" + g +
                                   " 2)Reserve                          " + g + "\n" + g +
                                   " 3)Cleaning                         " + g + "\n" + border);
  const std::string blank = g + std::string(36, ' ') + g + "\n";
  const std::string promptFrame = "[clear]" + border + g + "      ==VORNE_Coffee Machine==      " + g + "\n" +
                                  blank + blank + blank + border;
  EXPECT_EQ(draw(kConcentratePromptScreen), promptFrame + "concentrate : ");
  EXPECT_EQ(draw(kTimePromptScreen), promptFrame + "time : ");
  EXPECT_EQ(draw(kCleanTimePromptScreen), "") << "the basic edition has no cleaning-time screen";
}

TEST_F(ScreensTest, EveryFramedRowIsFortyBytesInBothEditions) {
  for (const EditionProfile* profile : {&kFullEdition, &kBasicEdition}) {
    selectEdition(*profile);
    int framedRows = 0;
    for (int code = 1; code <= profile->highestDisplayCode; ++code) {
      for (const std::string& line : lines(draw(code))) {
        const std::string row = line.substr(line.rfind(']') == std::string::npos ? 0 : line.rfind(']') + 1);
        if (row.rfind(profile->frameGlyph, 0) != 0) continue;
        ++framedRows;
        EXPECT_EQ(row.size(), 40u) << "code " << code << ": " << row;
        EXPECT_EQ(row.substr(38), profile->frameGlyph) << "code " << code << ": " << row;
      }
    }
    EXPECT_GT(framedRows, 100);
  }
}

TEST_F(ScreensTest, MenuTitleStandsOneColumnRightOfOtherBanners) {
  const auto menu = lines(draw(kMenuScreen));
  const auto message = lines(draw(kNoWater));
  const std::string menuBanner = menu[menu.size() - 5];
  const std::string screenBanner = message[message.size() - 5];
  EXPECT_EQ(menuBanner.find("==VORNE"), screenBanner.find("==VORNE") + 1);
  EXPECT_EQ(screenBanner, "**      ==VORNE_Coffee Machine==      **");
}

TEST_F(ScreensTest, SameScreensAndBarePrompts) {
  EXPECT_EQ(draw(kTimePromptScreen), draw(kCleanTimePromptScreen));
  EXPECT_EQ(draw(kTemperaturePrompt), "temperature : ");
  EXPECT_EQ(draw(kReserveTemperaturePrompt), "temperature : ");
  EXPECT_EQ(draw(kReserveConcentratePrompt), "concentrate : ");
  const std::string standby = draw(kConcentratePromptScreen);
  EXPECT_NE(standby.find("** standby                            **\n"
                         "**                                    **\n"
                         "**                                    **\n"
                         "****************************************\n"
                         "concentrate : "),
            std::string::npos);
  EXPECT_EQ(fake::clearCount(), 3) << "bare prompts never clear";
}

TEST_F(ScreensTest, UnknownCodesDrawNothingAndResetTheCounter) {
  for (int code : {0, 18, -1, 1000}) {
    displayCount = 7;
    EXPECT_EQ(draw(code), "");
    EXPECT_EQ(displayCount, 0);
  }
  EXPECT_EQ(fake::clearCount(), 0);
}

TEST_F(ScreensTest, AnimationsCountFramesAndSeconds) {
  struct Case {
    int code;
    const char* word;
    int frames;
  };
  for (const Case& c :
       {Case{kCleaningAnimation, "Cleaning", 10}, Case{kGrindingAnimation, "Grinding", 5},
        Case{kMakingAnimation, "Coffee Making", 10}, Case{kBoilingAnimation, "Boiling", 10}}) {
    fake::resetPlatform(fake::christmasEve());
    const std::string out = draw(c.code);
    EXPECT_EQ(fake::clearCount(), c.frames) << c.word;
    EXPECT_EQ(fake::pauses(), std::vector<int>(static_cast<std::size_t>(c.frames), 1)) << c.word;
    // Frame k of each cycle carries k dots; the last frame shows five.
    std::size_t at = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
      std::string row =
          std::string("** ") + c.word + std::string(static_cast<std::size_t>(frame % 5 + 1), '.');
      row += std::string(38 - row.size(), ' ') + "**\n";
      at = out.find(row, at);
      ASSERT_NE(at, std::string::npos) << c.word << " frame " << frame;
    }
    EXPECT_EQ(displayCount, c.frames / 5);
  }
}

TEST_F(ScreensTest, AFrameDrawnAfterAMinuteBoundaryShowsTheNewMinute) {
  fake::setTime(fake::christmasEve() + 5);  // 18:29:55, one second a frame
  const std::string out = draw(kMakingAnimation);
  EXPECT_NE(out.find("2026-12-24  18 : 29 \n"), std::string::npos);
  EXPECT_NE(out.find("2026-12-24  18 : 30 \n"), std::string::npos);
  EXPECT_EQ(currentTime, 12241830);
}

TEST_F(ScreensTest, MessageScreensHoldTheirTime) {
  for (int code : {kCleaningFinished, kCoffeeFinished, kNoBeans, kNoWater, kMakingFailed}) {
    fake::resetPlatform(fake::christmasEve());
    const std::string out = draw(code);
    EXPECT_EQ(fake::pauses(), std::vector<int>{3}) << code;
    EXPECT_EQ(out.substr(out.size() - 9), "[pause 3]");
  }
  fake::resetPlatform(fake::christmasEve());
  const std::string warning = draw(kPowderWarning);
  EXPECT_EQ(fake::pauses(), std::vector<int>{2});
  EXPECT_NE(warning.find("** Warning !!                         **\n"
                         "** powder is remain.                  **\n"
                         "** clean first.                       **\n"
                         "****************************************\n"),
            std::string::npos);
}

TEST_F(ScreensTest, HeaderLinesFollowSelectionsPowderAndBookings) {
  EXPECT_EQ(header(), kEmptyHeader);
  EXPECT_EQ(currentTime, 12241829);

  concentrateData = 300;
  temperatureData = 1;
  isPowderRemain = 1;
  setLevels(-20, 3, 7);
  addList({12241830, 200, 1}, reserveList);
  addList({12250700, 100, 0}, reserveList);
  addClist(12260900, cleanList);
  EXPECT_EQ(header(),
            "\n2026-12-24  18 : 29 \n"
            "concentrate : HIGH \n"
            "temperature : HOT \n"
            "water  : -20\tmL,  powder : 3 g,  bean : 7 g\n"
            "powder : o,  plz clean..\n"
            "timeTable>>\ntime : 12241830\ntime : 12250700\n"
            "cleanTable>>\ntime : 12260900\n"
            "-----------------------------------------------------------\n");
  EXPECT_EQ(waterData, -20) << "the header refreshes the level registers";

  concentrateData = 150;
  temperatureData = 2;
  isPowderRemain = 2;
  const auto shortHeader = lines(header());
  EXPECT_EQ(shortHeader.size(), 10u);
  EXPECT_EQ(shortHeader[2], "water  : -20\tmL,  powder : 3 g,  bean : 7 g");
  EXPECT_EQ(shortHeader[3], "powder : x");
}

TEST_F(ScreensTest, DateLineAndMinuteStampCarryNoPadding) {
  fake::setTime(fake::localTime(2026, 3, 9, 7, 5, 0));
  EXPECT_EQ(lines(header())[1], "2026-3-9  7 : 5 ");
  EXPECT_EQ(currentTime, 3090705);

  EXPECT_EQ(minuteStamp(fake::localDate(2026, 1, 1, 0, 0, 0)), 1010000);
  EXPECT_EQ(minuteStamp(fake::localDate(2026, 12, 31, 23, 59, 0)), 12312359);
}

TEST_F(ScreensTest, OutputControllerRefusesMixedAndUnknownRequests) {
  startCapture();
  EXPECT_EQ(outputController(0, 0), 0);
  EXPECT_EQ(outputController(11, 1), 0);
  EXPECT_EQ(outputController(18, 0), 0);
  EXPECT_EQ(outputController(-1, 0), 0);
  EXPECT_EQ(outputController(0, 4), 0);
  EXPECT_EQ(outputController(0, -1), 0);
  EXPECT_EQ(finishCapture(), "");
  EXPECT_TRUE(fake::pauses().empty());

  startCapture();
  EXPECT_EQ(outputController(17, 0), 1);
  EXPECT_NE(finishCapture().find("time : "), std::string::npos);

  selectEdition(kBasicEdition);
  startCapture();
  EXPECT_EQ(outputController(17, 0), 0);
  EXPECT_EQ(outputController(16, 0), 1);
  EXPECT_NE(finishCapture().find(" powder is remain. "), std::string::npos);
}

TEST_F(ScreensTest, BeepPatterns) {
  startCapture();
  EXPECT_EQ(outputController(0, 1), 1);
  EXPECT_EQ(finishCapture(), "\a\n");
  startCapture();
  EXPECT_EQ(outputController(0, 2), 1);
  EXPECT_EQ(finishCapture(), "\a\n[pause 1]\a\n[pause 1]");
  startCapture();
  EXPECT_EQ(outputController(0, 3), 1);
  EXPECT_EQ(finishCapture(), "\a\n[pause 1]\a\n[pause 1]\a\n");
  EXPECT_EQ(fake::totalPauseSeconds(), 4);
}

}  // namespace
}  // namespace cm
