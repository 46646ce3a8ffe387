// The clock thread and the main thread together: bookings fire once each,
// in order, and a stop request ends the thread (the full edition's end-to-end
// tests time its real wait).
#include "full/clock_thread.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "control/booking_runner.h"
#include "machine/material_store.h"
#include "machine/registers.h"
#include "output/edition.h"
#include "output/status_header.h"
#include "schedule/brew_schedule.h"
#include "schedule/clean_schedule.h"
#include "support/fake_platform.h"
#include "support/machine_fixture.h"
#include "support/text_count.h"

namespace cm {
namespace {

using namespace std::chrono_literals;

using test::count;

class ClockThreadTest : public test::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    concentrateData = temperatureData = kUnsetSelection;
  }
  // Runs until `done` holds (checked under the machine lock) or 10 s pass.
  static bool runUntil(std::thread& clock, StopRequest& stop, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    bool reached = false;
    while (!reached && std::chrono::steady_clock::now() <= deadline) {
      {
        std::lock_guard lock(machineMutex);
        reached = done();
      }
      if (!reached) std::this_thread::sleep_for(1ms);
    }
    stop.request();
    clock.join();
    return reached;
  }
};

TEST_F(ClockThreadTest, BrewFiresBeforeTheCleaningDueInTheSameMinute) {
  setLevels(1000, 10, 100);
  fake::setTime(fake::christmasEve() + 8);  // 18:29:58
  pushReserveData(12241830, 200, 0);
  pushCleanData(12241830);
  startCapture();
  StopRequest stop;
  std::thread clock(time_function, std::cref(stop));
  ASSERT_TRUE(runUntil(clock, stop, [] { return reserveList.bookings.empty() && cleanList.times.empty(); }));
  const std::string out = finishCapture();

  EXPECT_EQ(out.rfind("[clear]2026-12-24  18 : 29 : 58\n", 0), 0u) << out.substr(0, 80);
  const auto brewed = out.find("Coffee Making Finished..!!");
  const auto cleaned = out.find("cleaning is finished.");
  ASSERT_NE(brewed, std::string::npos);
  ASSERT_NE(cleaned, std::string::npos);
  EXPECT_LT(brewed, cleaned);
  EXPECT_NE(out.substr(brewed, cleaned - brewed).find("[clear]2026-12-24  18 : 30 : "), std::string::npos)
      << "the cleaning fires in a later pass, after a fresh clock line";
  EXPECT_EQ(count(out, "** Coffee Making....."), 2u);
  EXPECT_EQ(readFile(kReserveFile), "");
  EXPECT_EQ(readFile(kCleanReserveFile), "");
  EXPECT_EQ(readFile(kWaterFile), "300");
}

TEST_F(ClockThreadTest, NothingFiresBeforeItsMinute) {
  setLevels(1000, 10, 100);
  pushReserveData(12251830, 200, 0);  // a day ahead: far more passes than the test waits for
  startCapture();
  StopRequest stop;
  std::thread clock(time_function, std::cref(stop));
  ASSERT_TRUE(runUntil(clock, stop, [] { return currentTime >= 12241831; }));
  const std::string out = finishCapture();
  EXPECT_EQ(out.find("Coffee Making"), std::string::npos);
  EXPECT_EQ(readFile(kReserveFile), "12251830\n200\n0\n");
  EXPECT_GE(count(out, "2026-12-24  18 : "), 70u);
}

TEST_F(ClockThreadTest, MainThreadAndClockThreadFireEachBookingOnce) {
  setLevels(100000, 10, 100);
  constexpr int kBookings = 12;
  for (int i = 0; i < kBookings; ++i) pushReserveData(12240000 + i, 100, 0);  // all long due
  startCapture();
  StopRequest stop;
  std::thread clock(time_function, std::cref(stop));
  // The main thread's own standby check, as after a key with code 0.
  for (int i = 0; i < kBookings; ++i) {
    std::lock_guard lock(machineMutex);
    fireDueBrew(currentTime);
  }
  ASSERT_TRUE(runUntil(clock, stop, [] { return reserveList.bookings.empty(); }));
  const std::string out = finishCapture();
  // One brew, then the used powder refuses every other booking.
  EXPECT_EQ(count(out, "Coffee Making Finished..!!"), 1u);
  EXPECT_EQ(count(out, "** powder is remain."), static_cast<std::size_t>(kBookings - 1));
  EXPECT_EQ(readFile(kReserveFile), "");
  EXPECT_EQ(readFile(kWaterFile), "99900");
}

}  // namespace
}  // namespace cm
