// The cumulative user-idle counter; see idle_time.h.
#include "platform/core/idle_time.h"

namespace idletime {

uint32_t Accumulate(uint32_t counter, uint32_t prevTick, uint32_t nowTick, uint32_t lastInputTick) {
  uint32_t span = nowTick - prevTick;
  uint32_t sinceInput = nowTick - lastInputTick;
  // An input tick beyond now (a torn read, or a wrap seen from the far
  // side) is taken as "input just now".
  if (sinceInput > 0x80000000u) sinceInput = 0;
  uint32_t idle = sinceInput < span ? sinceInput : span;
  return counter + idle;
}

uint32_t Simulated(uint32_t mode, uint32_t base, uint32_t sinceTick, uint32_t nowTick) {
  if (mode == kIdle) return base + (nowTick - sinceTick);
  return base;
}

}  // namespace idletime
