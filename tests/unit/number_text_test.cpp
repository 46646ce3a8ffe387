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

}  // namespace
}  // namespace cm
