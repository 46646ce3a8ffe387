// The real platform's one-second wait, on the real clock: it ends once the
// wall clock has reached its next whole second, never before (the standby
// clock would show a second twice), and a stop request ends it at once.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "machine/platform.h"

namespace cm {
namespace {

using namespace std::chrono;

TEST(PlatformTest, TheWaitEndsJustAfterTheNextSecondOrAtAStopRequest) {
  StopRequest stop;
  for (int pass = 0; pass < 3; ++pass) {
    ASSERT_TRUE(platform::waitForNextSecond(stop));
    const auto now = system_clock::now();
    EXPECT_LT(now - floor<seconds>(now), milliseconds(500)) << "the wait ended before its second";
  }
  // Just after a second: the next is almost a second away.
  const auto asked = steady_clock::now();
  std::thread stopper([&stop] {
    std::this_thread::sleep_for(milliseconds(100));
    stop.request();
  });
  EXPECT_FALSE(platform::waitForNextSecond(stop));
  stopper.join();
  EXPECT_LT(steady_clock::now() - asked, milliseconds(500)) << "the stop request did not end the wait";
}

}  // namespace
}  // namespace cm
