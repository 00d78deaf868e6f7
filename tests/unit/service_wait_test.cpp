#include <gtest/gtest.h>

#include <vector>

#include "service/core/wait_rules.h"

namespace {

using namespace service;

TEST(ServiceWait, ArmedSetInPriorityOrder) {
  struct Row {
    bool queue, process;
    std::vector<WaitSource> order;
  };
  const Row rows[] = {
      {true, false, {kFromPowerQueue, kFromStop, kFromIdle, kFromActivate}},
      {false, false, {kFromStop, kFromIdle, kFromActivate}},
      {true, true, {kFromPowerQueue, kFromStop, kFromIdle, kFromActivate, kFromLockScreenProcess}},
      {false, true, {kFromStop, kFromIdle, kFromActivate, kFromLockScreenProcess}},
  };
  for (const Row& r : rows) {
    WaitSet set = ArmedWaitSet(r.queue, r.process);
    ASSERT_EQ(set.count, static_cast<int>(r.order.size()));
    for (size_t i = 0; i < r.order.size(); ++i) EXPECT_EQ(ClassifyWait(set, static_cast<uint32_t>(i)), r.order[i]);
    EXPECT_EQ(ClassifyWait(set, static_cast<uint32_t>(r.order.size())), kWaitFailed);
    EXPECT_EQ(ClassifyWait(set, kWaitTimeout), kTimedOut);
    EXPECT_EQ(ClassifyWait(set, 0xFFFFFFFFu), kWaitFailed);  // WAIT_FAILED
    EXPECT_EQ(ClassifyWait(set, 0x80), kWaitFailed);         // WAIT_ABANDONED_0
  }
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
