#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "service/core/broadcast_rules.h"

namespace {

using namespace service;

std::vector<uint8_t> Record(uint32_t message, uint32_t flags, size_t size = 12) {
  std::vector<uint8_t> bytes(size < 12 ? 12 : size, 0);
  std::memcpy(bytes.data(), &message, 4);
  std::memcpy(bytes.data() + 4, &flags, 4);
  bytes.resize(size);
  return bytes;
}

TEST(ServiceBroadcast, FlagsInTheirOrder) {
  struct Row {
    uint32_t message, flags;
    BroadcastMeaning expected;
  };
  const Row rows[] = {
      {0, kPowerStateOn, kNextCycle},
      {0, kPowerStateOff, kLock},
      {0, kPowerStateIdle, kLock},
      {0, kPowerStateSuspend, kLock},
      {0, kPowerStateCritical, kEndService},
      {0, kPowerStateReset, kEndService},
      // Power-on is tested first: ON|OFF counts as on, also with a transition.
      {0, kPowerStateOn | kPowerStateOff, kNextCycle},
      {kPbtTransition, kPowerStateOn | kPowerStateSuspend, kNextCycle},
      // The lock states come before the end states.
      {0, kPowerStateOff | kPowerStateCritical, kLock},
      {0, kPowerStateSuspend | kPowerStateReset, kLock},
      // The transition bit locks only when no state decided.
      {kPbtTransition, 0, kLock},
      {kPbtTransition | 0x2, 0, kLock},
      {kPbtTransition, kPowerStateCritical, kEndService},
      {0x2, 0, kNextCycle},           // resume
      {0x4, 0, kNextCycle},           // power status change
      {0x8, 0x00080000, kNextCycle},  // boot state alone
      {0, 0, kNextCycle},
      {0xFFFFFFFEu, 0, kNextCycle},
      {0xFFFFFFFFu, 0xFFFFFFFFu, kNextCycle},  // every flag: on wins
  };
  for (const Row& r : rows) {
    EXPECT_EQ(InterpretFlags(r.message, r.flags), r.expected) << std::hex << r.message << " " << r.flags;
    std::vector<uint8_t> rec = Record(r.message, r.flags);
    EXPECT_EQ(InterpretBroadcast(rec.data(), rec.size()), r.expected);
  }
}

TEST(ServiceBroadcast, ShortRecordsAreIgnored) {
  for (size_t size = 0; size < kBroadcastHeaderBytes; ++size) {
    std::vector<uint8_t> rec = Record(kPbtTransition, kPowerStateSuspend, size);
    EXPECT_EQ(InterpretBroadcast(rec.data(), rec.size()), kNextCycle) << size;
  }
  EXPECT_EQ(InterpretBroadcast(nullptr, 12), kNextCycle);
  std::vector<uint8_t> exact = Record(0, kPowerStateSuspend, 12);
  EXPECT_EQ(InterpretBroadcast(exact.data(), exact.size()), kLock);
  std::vector<uint8_t> longer = Record(0, kPowerStateSuspend, 1024);
  EXPECT_EQ(InterpretBroadcast(longer.data(), longer.size()), kLock);
}

}  // namespace
