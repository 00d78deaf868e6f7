// Helpers for the lock service's integration tests: the installed service
// started inside a job object, so that every lock screen it starts is
// counted from the job's new-process notices (a lock screen that ends at
// once is counted as surely as one that stays), readiness of its power
// queue, and the service's named events.
#pragma once
#include <windows.h>

#include <string>

namespace svc {

struct Service {
  HANDLE process = nullptr;
  HANDLE thread = nullptr;  // the service's main thread
  HANDLE job = nullptr;
  HANDLE port = nullptr;
  DWORD pid = 0;
  int lockStarts = 0;  // processes the service started so far
  DWORD lastStartedPid = 0;
};

// Starts the installed Hushpane.exe with `"<path>" args` in a new job.
bool Start(Service* s, const wchar_t* args = L"/load");
// The same with a copy of the program at another path.
bool StartAt(Service* s, const std::wstring& path, const wchar_t* args);
// Ends the service and every process it started (its job, also a lock
// screen still starting) and closes the test's handles.
void Release(Service* s);
// Number of processes the service has started (the lock screens).
int LockStarts(Service* s);
bool WaitLockStarts(Service* s, int atLeast, DWORD timeoutMs);

// Sends a record that means nothing to the service (a power-information
// change) and returns how many queues it reached.
int Probe();
// Waits until a reader takes what is sent to it: a probe reaches a
// registered queue and every queue it reached has been read (a queue that
// merely exists, with nobody reading it, is not listening).
bool WaitListening(DWORD timeoutMs);

// Ends the process the service started last, with `exitCode` (0 looks
// like an orderly end to anything that only reads exit codes).
bool KillLastStarted(Service* s, UINT exitCode = 1);
// Makes the process the service started last crash: a thread of its own
// that runs into an address that is not there.
bool CrashLastStarted(Service* s);
// The process id of the lock window (0 when there is none).
DWORD LockWindowPid();
// Waits for a lock window whose process is not `notPid`; its pid, or 0.
DWORD WaitNewLockWindow(DWORD notPid, DWORD timeoutMs);
// Waits until the process the service started last has ended.
bool WaitLastStartedEnded(Service* s, DWORD timeoutMs);

// Sets a named event that exists; false when it does not.
bool SetNamed(const wchar_t* name);

// Sends a message to every top-level window of the service, as Windows
// sends its power broadcasts, and waits up to `timeoutMs` for each answer;
// the number of windows that answered.
int SendToWindows(const Service& s, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs);

// AutoRun on and an unlock button configured, the usual armed service.
void ArmedSettings();
// The same with both unlock buttons, on AC with a battery at 80 %: the
// service that starts real lock screens.
void ArmedWithButtons(WORD button1, WORD button2);

}  // namespace svc
