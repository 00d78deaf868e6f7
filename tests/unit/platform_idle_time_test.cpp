// The user-idle counter behind GetIdleTime: accumulation from the last
// input, wrap of the ticks and of the counter, and the simulated modes.
#include <gtest/gtest.h>

#include "platform/core/idle_time.h"

using namespace idletime;

TEST(IdleTime, AccumulatesTheIdlePartOfEachSpan) {
  const struct {
    uint32_t counter, prev, now, lastInput, want;
  } cases[] = {
      {0, 1000, 11000, 500, 10000},   // no input in the span: all idle
      {0, 1000, 11000, 1000, 10000},  // input exactly at the start
      {0, 1000, 11000, 2700, 8300},   // input early in the span
      {0, 1000, 11000, 2701, 8299},
      {0, 1000, 11000, 11000, 0},                          // input just now
      {500, 1000, 1000, 0, 500},                           // empty span
      {0, 0xFFFFF000u, 0x00001000u, 0xFFFFE000u, 0x2000},  // ticks wrap, no input
      {0, 0xFFFFF000u, 0x00001000u, 0x00000800u, 0x800},   // input after the wrap
      {0xFFFFFF00u, 0, 0x200, 0, 0x100},                   // the counter wraps too
      {7, 1000, 2000, 5000, 7},                            // input "after now": taken as now
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.want, Accumulate(c.counter, c.prev, c.now, c.lastInput))
        << c.prev << " " << c.now << " " << c.lastInput;
}

TEST(IdleTime, SimulatedModes) {
  EXPECT_EQ(1500u, Simulated(kIdle, 1000, 200, 700));
  EXPECT_EQ(1000u, Simulated(kBusy, 1000, 200, 700));
  EXPECT_EQ(kUnsupported, Simulated(kFixed, kUnsupported, 200, 900000));
  // Idle near the wrap: the counter goes round as the device's does.
  EXPECT_EQ(0x0000100u, Simulated(kIdle, 0xFFFFFF00u, 0xFFFFFFF0u, 0x000001F0u));
  // The tick itself wrapped since the mode was set.
  EXPECT_EQ(0x30u, Simulated(kIdle, 0, 0xFFFFFFF0u, 0x20u));
}
