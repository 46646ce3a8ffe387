// The basic edition's keyboard: a key is noticed without waiting, held once,
// and never seen at the end of the input.
#include "basic/keyboard.h"

#include "console/input.h"
#include "support/fake_stdin.h"
#include "support/machine_fixture.h"

namespace cm::basic {
namespace {

class KeyboardTest : public test::MachineTest {};

TEST_F(KeyboardTest, BasicKeyboardLookAheadHoldsOneKey) {
  test::FakeStdin input("", /*endAfter=*/false);
  EXPECT_EQ(kbhit(), 0) << "no key: returns at once";
  EXPECT_EQ(isStart(), 0);
  input.type("a\xE1");
  EXPECT_EQ(kbhit(), 1);
  EXPECT_EQ(peek_character, 'a');
  EXPECT_EQ(kbhit(), 1) << "the held key is reported again, not replaced";
  EXPECT_EQ(getch(), 'a');
  EXPECT_EQ(peek_character, -1);
  EXPECT_EQ(isStart(), static_cast<signed char>('\xE1')) << "bytes above 0x7f come back negative";
  EXPECT_EQ(kbhit(), 0);
  EXPECT_FALSE(inputClosed());
}

TEST_F(KeyboardTest, BasicKeyboardSeesNoKeyAtTheEndOfInput) {
  test::FakeStdin input("");
  EXPECT_EQ(kbhit(), 0);
  EXPECT_EQ(kbhit(), 0);
  EXPECT_EQ(isStart(), 0);
  startCapture();
  EXPECT_EQ(putch('z'), 'z');
  EXPECT_EQ(finishCapture(), "z");
}

}  // namespace
}  // namespace cm::basic
