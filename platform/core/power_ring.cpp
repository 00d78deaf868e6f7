// Ring arithmetic of the power bus; see power_ring.h.
#include "platform/core/power_ring.h"

namespace powerbus {

bool RingRepair(uint32_t* head, uint32_t* count, uint32_t capacity) {
  if (capacity == 0 || capacity > kRingRecords) capacity = kRingRecords;
  if (*head < capacity && *count <= capacity) return false;
  *head = 0;
  *count = 0;
  return true;
}

bool RingPush(uint32_t* head, uint32_t* count, uint32_t capacity, uint32_t* slot) {
  if (capacity == 0 || capacity > kRingRecords) capacity = kRingRecords;
  RingRepair(head, count, capacity);
  if (*count >= capacity) return false;
  *slot = (*head + *count) % capacity;
  *count += 1;
  return true;
}

bool RingPop(uint32_t* head, uint32_t* count, uint32_t capacity, uint32_t* slot) {
  if (capacity == 0 || capacity > kRingRecords) capacity = kRingRecords;
  RingRepair(head, count, capacity);
  if (*count == 0) return false;
  *slot = *head;
  *head = (*head + 1) % capacity;
  *count -= 1;
  return true;
}

uint32_t RingCapacity(uint32_t maxMessages) {
  if (maxMessages == 0 || maxMessages > kRingRecords) return kRingRecords;
  return maxMessages;
}

bool RecordSendable(uint32_t size) { return size >= 1 && size <= kMaxRecord; }

bool RecordFits(uint32_t size, uint32_t cbMaxMessage) { return cbMaxMessage == 0 || size <= cbMaxMessage; }

bool RecordWanted(uint32_t mask, bool hasKind, uint32_t message) {
  if (!hasKind || mask == 0xFFFFFFFFu) return true;
  return (mask & message) != 0;
}

}  // namespace powerbus
