// Starting the worker threads and knowing when they are all gone.
//
// No exception ends the lock screen: one that escapes a worker (the only
// source is a failed allocation, std::bad_alloc) is caught at the thread's
// entry, the worker's running flag is cleared, and the thread ends as after
// a failed step; the lock window, the keys and the other workers stay.
// A worker sets its own running flag when it begins, so between
// CreateThread and that moment the flag still reads 0: shutdown would take
// the worker for ended and delete what it is about to use. Every start is
// therefore counted as in flight until the thread procedure has returned.
#include "lockscreen/lockscreen.h"
#include "platform/thread_stack.h"

static volatile LONG s_inFlight = 0;
static volatile LONG s_accepting = 1;
static volatile LONG s_settling = 0;  // workers past their procedure, not yet gone
// Set each time a worker returns, so that shutdown's poll wakes as soon as
// one has ended instead of sleeping out its whole 100 ms.
static HANDLE s_workerEnded = nullptr;

namespace {

// What a worker's thread runs: its procedure and its running flag. One
// fixed entry per worker procedure (there are three), never freed.
struct WorkerStart {
  LPTHREAD_START_ROUTINE procedure;
  volatile LONG* runningFlag;
};
WorkerStart s_starts[4];
SRWLOCK s_startsLock = SRWLOCK_INIT;

WorkerStart* EntryFor(LPTHREAD_START_ROUTINE procedure, volatile LONG* runningFlag) {
  WorkerStart* found = nullptr;
  AcquireSRWLockExclusive(&s_startsLock);
  for (WorkerStart& s : s_starts) {
    if (s.procedure == procedure || s.procedure == nullptr) {
      s.procedure = procedure;
      s.runningFlag = runningFlag;
      found = &s;
      break;
    }
  }
  ReleaseSRWLockExclusive(&s_startsLock);
  return found;
}

DWORD RunGuarded(const WorkerStart* start) {
  try {
    return start->procedure(nullptr);
  } catch (...) {
    InterlockedExchange(start->runningFlag, 0);
    return 1;
  }
}

DWORD WINAPI WorkerEntry(LPVOID argument) {
  ThreadReleaseStack();
  DWORD result = RunGuarded(static_cast<const WorkerStart*>(argument));
  // Still counted as busy (settling) until the wake-up is sent, so that
  // shutdown never closes the event under this SetEvent.
  InterlockedIncrement(&s_settling);
  InterlockedDecrement(&s_inFlight);
  if (s_workerEnded != nullptr) SetEvent(s_workerEnded);
  InterlockedDecrement(&s_settling);
  return result;
}

}  // namespace

void Workers_Init(void) {
  if (s_workerEnded == nullptr) s_workerEnded = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

void Workers_Release(void) {
  if (s_workerEnded != nullptr) CloseHandle(s_workerEnded);
  s_workerEnded = nullptr;
}

void Workers_WaitForEnd(DWORD maxMs) {
  if (s_settling != 0 && s_inFlight == 0) {
    SwitchToThread();  // a few instructions from gone: no reason to sleep
    return;
  }
  if (s_workerEnded == nullptr) {
    Sleep(maxMs);
    return;
  }
  // Sent messages are let in too (see WaitForWorkers in main.cpp). A wait
  // that fails is a poll all the same: shutdown never spins on it.
  if (MsgWaitForMultipleObjects(1, &s_workerEnded, FALSE, maxMs, QS_SENDMESSAGE) == WAIT_FAILED) Sleep(maxMs);
}

void StartWorker(LPTHREAD_START_ROUTINE proc, volatile LONG* runningFlag) {
  if (*runningFlag != 0 || s_accepting == 0) return;
  InterlockedIncrement(&s_inFlight);
  // Shutdown may have begun between the test and the count: undo.
  if (s_accepting == 0) {
    InterlockedDecrement(&s_inFlight);
    return;
  }
  WorkerStart* start = EntryFor(proc, runningFlag);
  HANDLE thread = start != nullptr ? CreateThread(nullptr, 0, WorkerEntry, start, 0, nullptr) : nullptr;
  if (thread == nullptr) {
    InterlockedDecrement(&s_inFlight);  // the next trigger tries again
    return;
  }
  CloseHandle(thread);  // never joined: awaited through the flags
}

void StopAcceptingWorkers(void) { InterlockedExchange(&s_accepting, 0); }

BOOL WorkersBusy(void) {
  return g_lockScreen.appointmentsRunning != 0 || g_lockScreen.powerRunning != 0 || g_lockScreen.refreshRunning != 0 ||
         s_inFlight != 0 || s_settling != 0;
}

BOOL WaitEndEvent(DWORD ms) {
  DWORD r = WaitForSingleObject(g_lockScreen.endEvent, ms);
  if (r == WAIT_OBJECT_0) return TRUE;
  if (r == WAIT_FAILED) Sleep(ms);
  return FALSE;
}
