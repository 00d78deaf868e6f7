// What the service's waits hear first when several things happen at once
// (a wait returns the lowest signalled index), and what a failed or timed
// out wait is.
#include <gtest/gtest.h>

#include <initializer_list>

#include "service/core/wait_rules.h"

namespace {

using namespace service;

// What WaitForMultipleObjects returns over `set` when `signalled` are set:
// the lowest index among them, else a time-out.
uint32_t WaitResult(const WaitSet& set, std::initializer_list<WaitSource> signalled) {
  for (int i = 0; i < set.count; ++i)
    for (WaitSource s : signalled)
      if (set.sources[i] == s) return kWaitObject0 + static_cast<uint32_t>(i);
  return kWaitTimeout;
}

TEST(ServiceWait, WhatIsHeardFirst) {
  struct Row {
    bool showing, queue, process;
    std::initializer_list<WaitSource> signalled;
    WaitSource heard;
  };
  const Row rows[] = {
      // Armed: a power record before a stop request, a stop before the
      // idle and activate events, those before the lock screen's end.
      {false, true, true, {kFromStop, kFromPowerQueue, kFromActivate}, kFromPowerQueue},
      {false, true, true, {kFromActivate, kFromIdle, kFromStop}, kFromStop},
      {false, true, true, {kFromActivate, kFromIdle}, kFromIdle},
      {false, true, true, {kFromLockScreenProcess, kFromActivate}, kFromActivate},
      {false, true, true, {kFromLockScreenProcess}, kFromLockScreenProcess},
      // Without a queue or a started lock screen the rest keep their order.
      {false, false, false, {kFromActivate, kFromStop}, kFromStop},
      {false, false, true, {kFromLockScreenProcess, kFromIdle}, kFromIdle},
      {false, false, false, {kFromPowerQueue}, kTimedOut},
      {false, true, false, {kFromLockScreenProcess}, kTimedOut},
      // Showing: every waiting record is read first, then the lock screen's
      // end, then an activate request; stop and idle are not waited on.
      {true, true, true, {kFromActivate, kFromLockScreenProcess, kFromPowerQueue}, kFromPowerQueue},
      {true, true, true, {kFromActivate, kFromLockScreenProcess}, kFromLockScreenProcess},
      {true, false, true, {kFromActivate, kFromStop}, kFromActivate},
      {true, true, false, {kFromStop, kFromIdle}, kTimedOut},
  };
  for (const Row& r : rows) {
    const WaitSet set = r.showing ? ShowingWaitSet(r.process, r.queue) : ArmedWaitSet(r.queue, r.process);
    EXPECT_EQ(ClassifyWait(set, WaitResult(set, r.signalled)), r.heard)
        << "showing " << r.showing << " queue " << r.queue << " process " << r.process;
  }
}

TEST(ServiceWait, FailedAndAbandonedWaitsAreFailures) {
  for (const WaitSet& set : {ArmedWaitSet(true, true), ArmedWaitSet(false, false), ShowingWaitSet(true, true),
                             ShowingWaitSet(false, false)}) {
    EXPECT_EQ(ClassifyWait(set, kWaitTimeout), kTimedOut);
    EXPECT_EQ(ClassifyWait(set, static_cast<uint32_t>(set.count)), kWaitFailed);  // past the set
    EXPECT_EQ(ClassifyWait(set, 0xFFFFFFFFu), kWaitFailed);                       // WAIT_FAILED
    EXPECT_EQ(ClassifyWait(set, 0x80), kWaitFailed);                              // WAIT_ABANDONED_0
  }
}

}  // namespace
