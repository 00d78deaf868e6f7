// The cumulative user-idle counter behind GetIdleTime: milliseconds during
// which nobody touched the device, counted in unsigned 32-bit arithmetic so
// that it wraps as the device's counter does. Not CPU idle time: a desktop's
// processors are idle nearly always, which would make every watch window
// idle.
#pragma once
#include <cstdint>

namespace idletime {

// The counter value that means "not supported".
constexpr uint32_t kUnsupported = 0xFFFFFFFFu;

// Simulation modes stored by the device tool.
enum Mode : uint32_t {
  kDesktop = 0,  // not simulated: measured from the last user input
  kIdle = 1,     // grows with real time from the moment it was set
  kBusy = 2,     // stands still
  kFixed = 3,    // a raw value (0xFFFFFFFF: not supported)
};

// Adds the idle part of the span (prevTick, nowTick] to `counter`: the whole
// span when the last input came before it began, else the time since the
// last input. Ticks wrap; a last-input tick "after" now counts as now.
uint32_t Accumulate(uint32_t counter, uint32_t prevTick, uint32_t nowTick, uint32_t lastInputTick);

// The simulated counter: `base` plus, in idle mode, the time since `sinceTick`.
uint32_t Simulated(uint32_t mode, uint32_t base, uint32_t sinceTick, uint32_t nowTick);

}  // namespace idletime
