// Starting the worker threads and knowing when they are all gone.
// A worker sets its own running flag when it begins, so between
// CreateThread and that moment the flag still reads 0: shutdown would take
// the worker for ended and delete what it is about to use. Every start is
// therefore counted as in flight until the thread procedure has returned.
#include "lockscreen/lockscreen.h"

static volatile LONG s_inFlight = 0;
static volatile LONG s_accepting = 1;

namespace {

DWORD WINAPI WorkerEntry(LPVOID procedure) {
  DWORD result = reinterpret_cast<LPTHREAD_START_ROUTINE>(procedure)(nullptr);
  InterlockedDecrement(&s_inFlight);
  return result;
}

}  // namespace

void StartWorker(LPTHREAD_START_ROUTINE proc, volatile LONG* runningFlag) {
  if (*runningFlag != 0 || s_accepting == 0) return;
  InterlockedIncrement(&s_inFlight);
  // Shutdown may have begun between the test and the count: undo.
  if (s_accepting == 0) {
    InterlockedDecrement(&s_inFlight);
    return;
  }
  HANDLE thread = CreateThread(nullptr, 0, WorkerEntry, reinterpret_cast<LPVOID>(proc), 0, nullptr);
  if (thread == nullptr) {
    InterlockedDecrement(&s_inFlight);  // the next trigger tries again
    return;
  }
  CloseHandle(thread);  // never joined: awaited through the flags
}

void StopAcceptingWorkers(void) { InterlockedExchange(&s_accepting, 0); }

BOOL WorkersBusy(void) {
  return g_appointmentsRunning != 0 || g_powerRunning != 0 || g_refreshRunning != 0 || s_inFlight != 0;
}
