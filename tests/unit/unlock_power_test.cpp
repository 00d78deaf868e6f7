// The power thread's decision on one broadcast record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "lockscreen/core/power_rules.h"

namespace {

using powerrules::BroadcastAction;

std::vector<uint8_t> Record(uint32_t message, uint32_t flags, size_t size) {
  std::vector<uint8_t> r(size < 12 ? 12 : size, 0);
  std::memcpy(&r[0], &message, 4);
  std::memcpy(&r[4], &flags, 4);
  r.resize(size);
  return r;
}

TEST(PowerDecision, FlagsTable) {
  struct Case {
    uint32_t message, flags;
    BroadcastAction want;
  } cases[] = {
      {1, 0x00040000, BroadcastAction::kClose},  // critical
      {1, 0x00800000, BroadcastAction::kClose},  // reset
      {2, 0x00840000, BroadcastAction::kClose},
      {4, 0x00050000, BroadcastAction::kClose},  // on | critical
      {8, 0xFFFFFFFF, BroadcastAction::kClose},
      {1, 0x00010000, BroadcastAction::kWake},  // on
      {1, 0x00020000, BroadcastAction::kWake},  // off
      {1, 0x00200000, BroadcastAction::kWake},  // suspend
      {1, 0x00100000, BroadcastAction::kWake},  // idle
      {2, 0, BroadcastAction::kWake},
      // Only the flags word counts: critical bits in the message type do not.
      {0x00840000, 0x00010000, BroadcastAction::kWake},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> r = Record(c.message, c.flags, 16);
    EXPECT_EQ(powerrules::Decide(r.data(), r.size()), c.want) << std::hex << c.flags;
  }
}

TEST(PowerDecision, ShortRecordsAreIgnored) {
  for (size_t size = 0; size < 12; ++size) {
    std::vector<uint8_t> r = Record(1, 0x00040000, size);
    EXPECT_EQ(powerrules::Decide(r.data(), r.size()), BroadcastAction::kIgnore) << size;
  }
  std::vector<uint8_t> r = Record(1, 0x00040000, 12);
  EXPECT_EQ(powerrules::Decide(r.data(), r.size()), BroadcastAction::kClose);
  EXPECT_EQ(powerrules::Decide(nullptr, 64), BroadcastAction::kIgnore);
}

}  // namespace
