// Ring arithmetic and record rules of the power bus (platform/power_bus.cpp).
// Pure: the shared table lives in memory that other processes write too, so
// every index read from it is checked here before it is used, and a torn or
// hostile value resets the ring instead of indexing outside it.
#pragma once
#include <cstdint>

namespace powerbus {

// Largest record the bus carries, and the records a queue holds at most.
constexpr uint32_t kMaxRecord = 1024;
constexpr uint32_t kRingRecords = 16;

// A ring whose head or count is out of range is emptied (head 0, count 0).
// Returns true when it had to be repaired.
bool RingRepair(uint32_t* head, uint32_t* count, uint32_t capacity);

// The slot to write the next record into, or false when the ring is full
// (the record is then dropped for this queue). Advances count.
bool RingPush(uint32_t* head, uint32_t* count, uint32_t capacity, uint32_t* slot);

// The slot holding the oldest record, or false when empty. Advances head.
bool RingPop(uint32_t* head, uint32_t* count, uint32_t capacity, uint32_t* slot);

// Capacity of a queue created with `maxMessages` (0: no limit, which here is
// the ring size).
uint32_t RingCapacity(uint32_t maxMessages);

// Whether a record of `size` bytes may be sent: 1 to kMaxRecord bytes.
// Records shorter than the 12-byte header are carried as they are; the
// readers ignore them.
bool RecordSendable(uint32_t size);

// Whether a queue created with the largest message `cbMaxMessage` (0: no
// limit) takes a record of `size` bytes.
bool RecordFits(uint32_t size, uint32_t cbMaxMessage);

// Whether a queue registered with `mask` wants a record whose first word is
// `message` (a record shorter than 4 bytes has no kind: it always goes).
bool RecordWanted(uint32_t mask, bool hasKind, uint32_t message);

}  // namespace powerbus
