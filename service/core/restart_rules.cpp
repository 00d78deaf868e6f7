// The death history of the lock screen and the pause it earns.
#include "service/core/restart_rules.h"

namespace service {

void RecordDeath(DeathHistory& history, uint32_t tick) {
  history.ticks[history.next] = tick;
  history.next = (history.next + 1) % kDeathsRemembered;
  if (history.count < kDeathsRemembered) ++history.count;
}

uint32_t RestartDelayMs(const DeathHistory& history, uint32_t now) {
  if (history.count < kDeathsRemembered) return 0;
  for (uint32_t tick : history.ticks)
    if (static_cast<uint32_t>(now - tick) > kDeathWindowMs) return 0;  // unsigned: a wrap is harmless
  return kRestartBackOffMs;
}

}  // namespace service
