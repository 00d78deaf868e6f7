// What a power-manager broadcast means to the armed service. Pure: the
// record arrives as bytes (word 0 the message kind, word 1 the power-state
// flags) and the flags are tested in a fixed order, so that a record with
// both POWER_STATE_ON and POWER_STATE_OFF counts as power-on.
#pragma once
#include <cstddef>
#include <cstdint>

namespace service {

// The power-state flags and message bits the service tests (the values of
// the device's power manager).
constexpr uint32_t kPowerStateOn = 0x00010000u;
constexpr uint32_t kPowerStateOff = 0x00020000u;
constexpr uint32_t kPowerStateCritical = 0x00040000u;
constexpr uint32_t kPowerStateIdle = 0x00100000u;
constexpr uint32_t kPowerStateSuspend = 0x00200000u;
constexpr uint32_t kPowerStateReset = 0x00800000u;
constexpr uint32_t kPbtTransition = 0x00000001u;

// Message, flags and length: a shorter record carries no flags to test.
constexpr size_t kBroadcastHeaderBytes = 12;

enum BroadcastMeaning {
  kNextCycle,   // nothing to do: wait again
  kLock,        // power off, idle, suspend or a transition: start the lock screen
  kEndService,  // critical or reset: end the service without a lock
};

BroadcastMeaning InterpretFlags(uint32_t message, uint32_t flags);
// `size` is the number of bytes the read returned; a record shorter than the
// header is ignored (next cycle).
BroadcastMeaning InterpretBroadcast(const uint8_t* record, size_t size);

}  // namespace service
