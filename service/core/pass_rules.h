// How a pass of the lock service begins: lock at once and end, lock at once
// and carry on, or arm and wait. Also the "installed" test on the service's
// own command line. Pure: no <windows.h>.
#pragma once
#include <cstdint>

namespace service {

enum PassStart {
  kLockAndEnd,  // AutoRun off: this is the last pass; lock, then end
  kLockNow,     // start-up lock (ActivateAtStartup, first pass, not installed)
  kWaitLoop,    // armed: wait for a power broadcast or a request
};

// The service's exit codes: 0 for every orderly end; 2 when one of its
// four named events could not be made (another program holds the name,
// for example as a mutex), after it has started one lock screen.
constexpr int kExitDone = 0;
constexpr int kExitEventNameTaken = 2;

PassStart DecidePassStart(bool autoRun, bool activateAtStartup, bool firstPass, bool installed);

// The arguments part of a full command line: everything after the first
// token, which is the program path, quoted ("C:\a b\Hushpane.exe" /load) or
// not. The path is skipped so that a folder named "...installed..." never
// counts as the installed start.
const wchar_t* SkipProgramToken(const wchar_t* commandLine);

// True when the arguments of `commandLine` contain "installed" (a
// case-sensitive substring test).
bool StartedInstalled(const wchar_t* commandLine);

}  // namespace service
