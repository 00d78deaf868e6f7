// The AC-power idle watcher's accounting: 10-second windows, a window
// counts as idle when the cumulative idle counter grew by at least 8300 ms
// in it, and the lock is due once the run of idle windows reaches
// AcActivation minutes. Pure.
#pragma once
#include <cstdint>

namespace service {

constexpr uint32_t kIdleWindowMs = 10000;
constexpr uint32_t kIdleThresholdMs = 8300;
constexpr uint32_t kIdleUnsupported = 0xFFFFFFFFu;  // GetIdleTime: not supported
constexpr uint8_t kAcLineOffline = 0;

// Only "offline" means battery: online (1), backup power (2) and unknown
// (255) all count as AC.
bool OnAcPower(uint8_t acLineStatus);

// The growth of the counter is taken in unsigned 32-bit arithmetic, so a
// counter that wraps between two readings still counts its true growth.
bool WindowWasIdle(uint32_t previousIdle, uint32_t newIdle);

// AcActivation minutes in milliseconds, in 64 bits (a large setting does
// not wrap to a small limit); a negative setting counts as 0.
uint64_t IdleLimitMs(int32_t acActivationMinutes);

struct IdleRun {
  uint32_t previousIdle;  // the counter at the end of the last window
  uint64_t runMs;         // consecutive idle windows so far (64 bits: never wraps)
};

enum IdleVerdict {
  kKeepWatching,
  kIdleReached,       // set the idle event and end
  kIdleNotSupported,  // the counter reads "not supported": end
};

IdleRun StartIdleRun(uint32_t idleNow);
// Accounts one finished window. AcActivation is passed afresh each window so
// a change takes effect at once.
IdleVerdict AccountWindow(IdleRun& run, uint32_t newIdle, int32_t acActivationMinutes);

}  // namespace service
