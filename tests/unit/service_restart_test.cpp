// The pause before a dead lock screen is started again.
#include <gtest/gtest.h>

#include <vector>

#include "service/core/restart_rules.h"

namespace {

using namespace service;

TEST(ServiceRestart, BackOffOnlyForFiveDeathsWithinTenSeconds) {
  struct Row {
    std::vector<uint32_t> deaths;
    uint32_t now;
    uint32_t delay;
  };
  const Row rows[] = {
      {{}, 0, 0},
      {{100, 200, 300, 400}, 500, 0},                                            // four: at once
      {{100, 200, 300, 400, 500}, 600, kRestartBackOffMs},                       // five within ten seconds
      {{100, 200, 300, 400, 500}, 10100, kRestartBackOffMs},                     // the oldest exactly 10 s ago
      {{100, 200, 300, 400, 500}, 10101, 0},                                     // the oldest has left the window
      {{1, 20000, 20001, 20002, 20003, 20004}, 20005, kRestartBackOffMs},        // only the last five count
      {{0xFFFFFF00u, 0xFFFFFF80u, 0xFFFFFFF0u, 5, 50}, 100, kRestartBackOffMs},  // across the wrap
  };
  for (const Row& r : rows) {
    DeathHistory h;
    for (uint32_t t : r.deaths) RecordDeath(h, t);
    EXPECT_EQ(RestartDelayMs(h, r.now), r.delay) << r.deaths.size() << " deaths, now " << r.now;
  }
}

}  // namespace
