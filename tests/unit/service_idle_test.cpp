#include <gtest/gtest.h>

#include <cstdint>

#include "service/core/idle_rules.h"

namespace {

using namespace service;

TEST(ServiceIdle, AcLine) {
  EXPECT_FALSE(OnAcPower(0));
  EXPECT_TRUE(OnAcPower(1));
  EXPECT_TRUE(OnAcPower(2));    // backup power
  EXPECT_TRUE(OnAcPower(255));  // unknown
}

TEST(ServiceIdle, WindowThreshold) {
  struct Row {
    uint32_t prev, now;
    bool idle;
  };
  const Row rows[] = {
      {1000, 1000 + 8299, false},
      {1000, 1000 + 8300, true},
      {1000, 1000 + 10000, true},
      {1000, 1000, false},
      {0, 8300, true},
      // Across the wrap of the cumulative counter the growth still counts.
      {0xFFFFF000u, 0xFFFFF000u + 8300u, true},  // wraps to 0x106C
      {0xFFFFF000u, 0xFFFFF000u + 8299u, false},
      {0xFFFFFFFEu, 8298u, true},  // grew by exactly 8300
      {0xFFFFFFFEu, 8297u, false},
      // The counter only grows: a smaller reading is read as a wrap.
      {5000, 4000, true},
  };
  for (const Row& r : rows) EXPECT_EQ(WindowWasIdle(r.prev, r.now), r.idle) << r.prev << " " << r.now;
}

TEST(ServiceIdle, LimitIn64Bits) {
  EXPECT_EQ(IdleLimitMs(0), 0u);
  EXPECT_EQ(IdleLimitMs(2), 120000u);
  EXPECT_EQ(IdleLimitMs(-1), 0u);
  EXPECT_EQ(IdleLimitMs(INT32_MIN), 0u);
  // 71583 minutes * 60000 no longer fits 32 bits.
  EXPECT_EQ(IdleLimitMs(71583), 4294980000ull);
  EXPECT_EQ(IdleLimitMs(INT32_MAX), 2147483647ull * 60000ull);
}

// Runs `windows` windows each growing the counter by `growth` and returns
// after how many windows the lock came (0: never).
int WindowsUntilLock(uint32_t start, uint32_t growth, int32_t minutes, int windows) {
  IdleRun run = StartIdleRun(start);
  uint32_t counter = start;
  for (int i = 1; i <= windows; ++i) {
    counter += growth;
    if (AccountWindow(run, counter, minutes) == kIdleReached) return i;
  }
  return 0;
}

TEST(ServiceIdle, RunLengths) {
  EXPECT_EQ(WindowsUntilLock(0, 8300, 2, 100), 12);  // 12 windows of 10 s = 2 minutes
  EXPECT_EQ(WindowsUntilLock(0, 8299, 2, 100), 0);   // never
  EXPECT_EQ(WindowsUntilLock(0, 10000, 1, 100), 6);
  // AcActivation 0: the first window reaches the limit even when it was busy.
  EXPECT_EQ(WindowsUntilLock(0, 0, 0, 100), 1);
  EXPECT_EQ(WindowsUntilLock(0, 8300, 0, 100), 1);
  EXPECT_EQ(WindowsUntilLock(0, 0, -5, 100), 1);  // negative counts as 0
  // A run that crosses the wrap of the counter is not broken by it.
  EXPECT_EQ(WindowsUntilLock(0xFFFF0000u, 9000, 2, 100), 12);
  // A limit beyond 32 bits is not wrapped into a short one.
  EXPECT_EQ(WindowsUntilLock(0, 10000, 71583, 100), 0);
}

TEST(ServiceIdle, ABusyWindowStartsAgain) {
  IdleRun run = StartIdleRun(100);
  uint32_t c = 100;
  for (int i = 0; i < 11; ++i) EXPECT_EQ(AccountWindow(run, c += 9000, 2), kKeepWatching);
  EXPECT_EQ(run.runMs, 110000u);
  EXPECT_EQ(AccountWindow(run, c += 8299, 2), kKeepWatching);  // busy
  EXPECT_EQ(run.runMs, 0u);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(AccountWindow(run, c += 9000, 2), kKeepWatching);
  EXPECT_EQ(AccountWindow(run, c += 9000, 2), kIdleReached);
  EXPECT_EQ(run.previousIdle, c);
}

TEST(ServiceIdle, SettingReadEachWindow) {
  IdleRun run = StartIdleRun(0);
  EXPECT_EQ(AccountWindow(run, 9000, 5), kKeepWatching);
  EXPECT_EQ(AccountWindow(run, 18000, 5), kKeepWatching);
  // Lowered to 0 minutes during the run: the next window reaches it.
  EXPECT_EQ(AccountWindow(run, 27000, 0), kIdleReached);
}

TEST(ServiceIdle, UnsupportedCounterEnds) {
  IdleRun run = StartIdleRun(1000);
  EXPECT_EQ(AccountWindow(run, kIdleUnsupported, 0), kIdleNotSupported);
}

}  // namespace
