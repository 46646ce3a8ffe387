#include "machine/number_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace cm {
namespace {

TEST(NumberTextTest, WholeNumberAnswers) {
  EXPECT_EQ(parseWholeNumber("200"), 200);
  EXPECT_EQ(parseWholeNumber("  -5 \r"), -5);
  EXPECT_EQ(parseWholeNumber("+12241830"), 12241830);
  EXPECT_EQ(parseWholeNumber("2147483647"), INT_MAX);
  EXPECT_EQ(parseWholeNumber("-2147483648"), INT_MIN);
  for (const char* bad :
       {"", "   ", "abc", "1x", "1 2", "99999999999", "2147483648", "+", "-", "+-1", "0x10"}) {
    EXPECT_FALSE(parseWholeNumber(bad).has_value()) << '"' << bad << '"';
  }
}

TEST(NumberTextTest, LevelArithmeticSticksAtTheIntRange) {
  EXPECT_EQ(saturatingSub(INT_MIN + 50, 100), INT_MIN);
  EXPECT_EQ(saturatingAdd(INT_MAX - 1, 10), INT_MAX);
  EXPECT_EQ(saturatingSub(150, 300), -150);
}

using Status = ScannedInt::Status;

TEST(NumberTextTest, ScanIntReadsLikePercentD) {
  std::size_t pos = 0;
  const std::string text = "  250\n-7 +3 x";
  EXPECT_EQ(scanInt(text, pos).value, 250);
  EXPECT_EQ(scanInt(text, pos).value, -7);
  EXPECT_EQ(scanInt(text, pos).value, 3);
  const std::size_t before = pos;
  EXPECT_EQ(scanInt(text, pos).status, Status::noNumber);
  EXPECT_EQ(pos, before);

  pos = 0;
  EXPECT_EQ(scanInt("-", pos).status, Status::noNumber);
  pos = 0;
  EXPECT_EQ(scanInt("", pos).status, Status::noNumber);
}

TEST(NumberTextTest, ScanIntSaturatesOutOfRangeNumbers) {
  std::size_t pos = 0;
  const ScannedInt big = scanInt("99999999999999999999999 5", pos);
  EXPECT_EQ(big.status, Status::outOfRange);
  EXPECT_EQ(big.value, INT_MAX);
  EXPECT_EQ(scanInt("99999999999999999999999 5", pos).value, 5);  // the whole number was consumed

  pos = 0;
  const ScannedInt small = scanInt("-2147483649", pos);
  EXPECT_EQ(small.status, Status::outOfRange);
  EXPECT_EQ(small.value, INT_MIN);
  pos = 0;
  EXPECT_EQ(scanInt("-2147483648", pos).status, Status::ok);
}

}  // namespace
}  // namespace cm
