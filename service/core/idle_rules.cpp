// Idle windows and the run that leads to the idle lock.
#include "service/core/idle_rules.h"

namespace service {

bool OnAcPower(uint8_t acLineStatus) { return acLineStatus != kAcLineOffline; }

bool WindowWasIdle(uint32_t previousIdle, uint32_t newIdle) {
  return static_cast<uint32_t>(newIdle - previousIdle) >= kIdleThresholdMs;
}

uint64_t IdleLimitMs(int32_t acActivationMinutes) {
  if (acActivationMinutes <= 0) return 0;
  return static_cast<uint64_t>(acActivationMinutes) * 60000u;
}

IdleRun StartIdleRun(uint32_t idleNow) { return IdleRun{idleNow, 0}; }

IdleVerdict AccountWindow(IdleRun& run, uint32_t newIdle, int32_t acActivationMinutes) {
  // A counter that stops being supported would read as a huge growth.
  if (newIdle == kIdleUnsupported) return kIdleNotSupported;
  if (WindowWasIdle(run.previousIdle, newIdle)) run.runMs += kIdleWindowMs;
  else run.runMs = 0;
  run.previousIdle = newIdle;
  return run.runMs >= IdleLimitMs(acActivationMinutes) ? kIdleReached : kKeepWatching;
}

}  // namespace service
