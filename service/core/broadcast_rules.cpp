// The order of the flag tests decides: power-on first, then the lock
// states, then the end states, then the transition bit.
#include "service/core/broadcast_rules.h"

#include <cstring>

namespace service {

BroadcastMeaning InterpretFlags(uint32_t message, uint32_t flags) {
  if (flags & kPowerStateOn) return kNextCycle;
  if (flags & (kPowerStateIdle | kPowerStateSuspend | kPowerStateOff)) return kLock;
  if (flags & (kPowerStateCritical | kPowerStateReset)) return kEndService;
  if (message & kPbtTransition) return kLock;
  return kNextCycle;
}

BroadcastMeaning InterpretBroadcast(const uint8_t* record, size_t size) {
  if (record == nullptr || size < kBroadcastHeaderBytes) return kNextCycle;
  uint32_t message = 0, flags = 0;
  std::memcpy(&message, record, sizeof(message));  // the record is little-endian, like every target
  std::memcpy(&flags, record + 4, sizeof(flags));
  return InterpretFlags(message, flags);
}

}  // namespace service
