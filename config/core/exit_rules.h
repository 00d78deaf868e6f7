// The decisions of the configuration program's exit step, apart from the
// files, events and processes they act on. Pure.
#pragma once
#include <cstdint>

namespace exitrules {

// What AutoRun on does about the lock service, from its unload event as
// the exit step found it.
enum ServiceAction : int {
  kLeaveResident = 0,  // the event is there and not set: a service runs on
  kStart,              // no event: no service, start one with "/load"
  kWaitThenStart,      // the event is set: the old service is ending; wait a
                       // bounded time for its event to vanish, then start
};
ServiceAction ForAutoRunOn(bool unloadEventOpened, bool unloadEventSignalled);

// How long the exit step waits for an ending service, and how often it
// looks. A service that has not gone by then is left to end on its own;
// the new one is started anyway (it ends itself while the old event is
// still there, which is no worse than not starting it).
constexpr uint32_t kEndingServiceWaitMs = 5000;
constexpr uint32_t kEndingServicePollMs = 20;

}  // namespace exitrules
