// What the lock screen's power thread does with one power broadcast, apart
// from Win32. Pure: no <windows.h>.
#pragma once
#include <cstddef>
#include <cstdint>

namespace powerrules {

constexpr uint32_t kPowerStateCritical = 0x00040000;
constexpr uint32_t kPowerStateReset = 0x00800000;
// Message type, flags and length: the fixed head of a POWER_BROADCAST.
constexpr size_t kBroadcastHeaderBytes = 12;

enum class BroadcastAction {
  kIgnore,  // too short to hold the flags word: nothing stale is read as flags
  kClose,   // critical or reset: close the lock window
  kWake,    // anything else: repaint and start a refresh period
};

// `record` holds `size` bytes as read from the queue; only the flags word
// (bytes 4..7, little-endian) is looked at, never the message type.
BroadcastAction Decide(const uint8_t* record, size_t size);

}  // namespace powerrules
