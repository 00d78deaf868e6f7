// The power bus's ring arithmetic and record rules: indexes read from
// shared memory are repaired, full rings drop, every slot index stays in
// range.
#include <gtest/gtest.h>

#include "platform/core/power_ring.h"

using namespace powerbus;

TEST(PowerRing, PushThenPopIsFirstInFirstOut) {
  uint32_t head = 0, count = 0, slot = 99;
  for (uint32_t i = 0; i < 5; ++i) {
    ASSERT_TRUE(RingPush(&head, &count, 16, &slot));
    EXPECT_EQ(i, slot);
  }
  for (uint32_t i = 0; i < 5; ++i) {
    ASSERT_TRUE(RingPop(&head, &count, 16, &slot));
    EXPECT_EQ(i, slot);
  }
  EXPECT_FALSE(RingPop(&head, &count, 16, &slot));
  EXPECT_EQ(0u, count);
}

TEST(PowerRing, FullRingRefusesAndKeepsItsRecords) {
  uint32_t head = 3, count = 0, slot = 0;
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(RingPush(&head, &count, 4, &slot));
  EXPECT_FALSE(RingPush(&head, &count, 4, &slot));
  EXPECT_EQ(4u, count);
  ASSERT_TRUE(RingPop(&head, &count, 4, &slot));
  EXPECT_EQ(3u, slot);  // the oldest, written first
}

TEST(PowerRing, WrapsAroundTheEnd) {
  uint32_t head = 14, count = 0, slot = 0;
  const uint32_t expected[] = {14, 15, 0, 1};
  for (uint32_t e : expected) {
    ASSERT_TRUE(RingPush(&head, &count, 16, &slot));
    EXPECT_EQ(e, slot);
  }
  for (uint32_t e : expected) {
    ASSERT_TRUE(RingPop(&head, &count, 16, &slot));
    EXPECT_EQ(e, slot);
  }
}

TEST(PowerRing, BrokenIndexesAreRepaired) {
  struct Case {
    uint32_t head, count, capacity;
    bool repaired;
  };
  const Case
      cases[] =
          {
              {0, 0, 16, false}, {15, 16, 16, false},       {16, 0, 16, true},         {0, 17, 16, true},
              {4, 0, 4, true},   {0xFFFFFFFF, 1, 16, true}, {0, 0xFFFFFFFF, 16, true}, {20, 3, 0, true},
              {3, 3, 99, false},  // a capacity out of range is the ring size
          };
  for (const Case& c : cases) {
    uint32_t head = c.head, count = c.count;
    EXPECT_EQ(c.repaired, RingRepair(&head, &count, c.capacity)) << c.head << " " << c.count;
    if (c.repaired) {
      EXPECT_EQ(0u, head);
      EXPECT_EQ(0u, count);
    }
  }
}

TEST(PowerRing, SlotsStayInRangeForAnyStart) {
  for (uint32_t capacity = 0; capacity <= 20; ++capacity) {
    uint32_t limit = capacity == 0 || capacity > kRingRecords ? kRingRecords : capacity;
    for (uint32_t start = 0; start < 40; ++start) {
      uint32_t head = start, count = start % 7, slot = 0;
      while (RingPush(&head, &count, capacity, &slot)) ASSERT_LT(slot, limit);
      EXPECT_EQ(limit, count);
      while (RingPop(&head, &count, capacity, &slot)) ASSERT_LT(slot, limit);
      EXPECT_EQ(0u, count);
    }
  }
}

TEST(PowerRing, CapacityOfTheOptions) {
  EXPECT_EQ(kRingRecords, RingCapacity(0));  // no limit: the whole ring
  EXPECT_EQ(1u, RingCapacity(1));
  EXPECT_EQ(16u, RingCapacity(16));
  EXPECT_EQ(kRingRecords, RingCapacity(1000));
}

TEST(PowerRecord, SendableSizes) {
  const struct {
    uint32_t size;
    bool ok;
  } cases[] = {{0, false}, {1, true}, {11, true}, {12, true}, {1024, true}, {1025, false}, {0xFFFFFFFF, false}};
  for (const auto& c : cases) EXPECT_EQ(c.ok, RecordSendable(c.size)) << c.size;
}

TEST(PowerRecord, FitsTheReadersLimit) {
  EXPECT_TRUE(RecordFits(1024, 0));
  EXPECT_TRUE(RecordFits(1024, 1024));
  EXPECT_FALSE(RecordFits(1024, 1023));
  EXPECT_TRUE(RecordFits(12, 12));
}

TEST(PowerRecord, WantedByTheMask) {
  EXPECT_TRUE(RecordWanted(0xFFFFFFFF, true, 0));  // all notifications
  EXPECT_TRUE(RecordWanted(0x1, true, 0x1));
  EXPECT_FALSE(RecordWanted(0x2, true, 0x1));
  EXPECT_TRUE(RecordWanted(0x2, false, 0x1));  // no kind: always delivered
  EXPECT_FALSE(RecordWanted(0, true, 0x1));
}
