// When the service starts a lock screen again after one died (ended
// without an orderly end: a kill, a crash, an escaped exception). A death
// is answered at once; a lock screen that keeps dying (five times within
// ten seconds) is still started again, after a short pause, so that a
// crash at start-up never turns the service into a loop that burns a core.
// Pure: ticks are GetTickCount values (unsigned, they wrap).
#pragma once
#include <cstdint>

namespace service {

constexpr int kDeathsRemembered = 5;
constexpr uint32_t kDeathWindowMs = 10000;
constexpr uint32_t kRestartBackOffMs = 2000;

struct DeathHistory {
  uint32_t ticks[kDeathsRemembered] = {};
  int count = 0;  // deaths remembered (at most kDeathsRemembered)
  int next = 0;   // where the next death is written
};

void RecordDeath(DeathHistory& history, uint32_t tick);
// How long to wait before the next start: 0 unless the last
// kDeathsRemembered deaths all came within kDeathWindowMs of `now`.
uint32_t RestartDelayMs(const DeathHistory& history, uint32_t now);

}  // namespace service
