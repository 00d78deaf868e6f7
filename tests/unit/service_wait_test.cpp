#include <gtest/gtest.h>

#include "service/core/wait_rules.h"

namespace {

using namespace service;

TEST(ServiceWait, ArmedSetInPriorityOrder) {
  WaitSet set = ArmedWaitSet(true);
  ASSERT_EQ(set.count, 4);
  EXPECT_EQ(ClassifyWait(set, 0), kFromPowerQueue);
  EXPECT_EQ(ClassifyWait(set, 1), kFromStop);
  EXPECT_EQ(ClassifyWait(set, 2), kFromIdle);
  EXPECT_EQ(ClassifyWait(set, 3), kFromActivate);
  EXPECT_EQ(ClassifyWait(set, 4), kWaitFailed);
  EXPECT_EQ(ClassifyWait(set, kWaitTimeout), kTimedOut);
  EXPECT_EQ(ClassifyWait(set, 0xFFFFFFFFu), kWaitFailed);  // WAIT_FAILED
  EXPECT_EQ(ClassifyWait(set, 0x80), kWaitFailed);         // WAIT_ABANDONED_0
  EXPECT_EQ(ClassifyWait(set, 0x83), kWaitFailed);
}

TEST(ServiceWait, ArmedSetWithoutAQueueKeepsTheEvents) {
  WaitSet set = ArmedWaitSet(false);
  ASSERT_EQ(set.count, 3);
  EXPECT_EQ(ClassifyWait(set, 0), kFromStop);
  EXPECT_EQ(ClassifyWait(set, 1), kFromIdle);
  EXPECT_EQ(ClassifyWait(set, 2), kFromActivate);
  EXPECT_EQ(ClassifyWait(set, 3), kWaitFailed);
}

TEST(ServiceWait, ShowingSet) {
  struct Row {
    bool process, queue;
    int count;
    WaitSource at0, at1, at2;
  };
  const Row rows[] = {
      {true, true, 3, kFromPowerQueue, kFromLockScreenProcess, kFromActivate},
      {true, false, 2, kFromLockScreenProcess, kFromActivate, kWaitFailed},
      {false, true, 2, kFromPowerQueue, kFromActivate, kWaitFailed},
      {false, false, 1, kFromActivate, kWaitFailed, kWaitFailed},
  };
  for (const Row& r : rows) {
    WaitSet set = ShowingWaitSet(r.process, r.queue);
    EXPECT_EQ(set.count, r.count);
    EXPECT_EQ(ClassifyWait(set, 0), r.at0);
    EXPECT_EQ(ClassifyWait(set, 1), r.at1);
    EXPECT_EQ(ClassifyWait(set, 2), r.at2);
    EXPECT_EQ(ClassifyWait(set, kWaitTimeout), kTimedOut);
  }
}

}  // namespace
