// Corvane, the lock screen: start-up in its fixed order, the message loop,
// and the ordered shutdown that always leaves the keys free, the display on
// and "End_Event" reset.
#include <cwchar>

#include "lockscreen/appointments.h"
#include "lockscreen/lockscreen.h"
#include "lockscreen/monitors.h"
#include "lockscreen/paint.h"
#include "lockscreen/resource.h"
#include "lockscreen/skin.h"
#include "platform/gameinput.h"
#include "platform/window.h"
#include "shared/settings.h"
#include "shared/signals.h"

LockScreenState g_lockScreen;

static const int kTextUnits = 100;      // the title and the class name
static HANDLE s_markerEvent = nullptr;  // "Ombrevale - Unload"
static HANDLE s_orderlyEnd = nullptr;   // handed over by the service, or NULL
static volatile LONG s_endIsOrderly = 0;
static bool s_refreshLockReady = false;
static wchar_t s_className[kTextUnits];
static wchar_t s_title[kTextUnits];

static const wchar_t kNoButtonsText[] = L"     No buttons configured.\n   Please run the configuration.";
static const wchar_t kInitFailedText[] = L"     Could not InitInstance...";
static const wchar_t kBoxCaption[] = L"Hushpane";
static const UINT kBoxStyle = MB_ICONERROR | MB_SETFOREGROUND;  // 0x00010010
static const DWORD kPollMs = 100;

// The program's folder with its trailing backslash.
static void FindModuleDirectory(void) {
  wchar_t* dir = g_lockScreen.moduleDir;
  const DWORD capacity = sizeof(g_lockScreen.moduleDir) / sizeof(g_lockScreen.moduleDir[0]);
  dir[0] = L'\0';
  DWORD n = GetModuleFileNameW(nullptr, dir, capacity);
  if (n == 0 || n >= capacity) {
    dir[0] = L'\0';
    return;
  }
  wchar_t* slash = wcsrchr(dir, L'\\');
  if (slash != nullptr) slash[1] = L'\0';
}

// Steps of the instance initialisation: titles, an existing lock window,
// the class, the power queue and its notifications.
static BOOL InitInstance(HINSTANCE instance) {
  g_lockScreen.instance = instance;
  g_lockScreen.window = nullptr;
  if (LoadStringW(instance, IDS_TITLE, s_title, kTextUnits) == 0) s_title[0] = L'\0';
  if (LoadStringW(instance, IDS_CLASS, s_className, kTextUnits) == 0) s_className[0] = L'\0';

  HWND existing = FindWindowW(s_className, s_title);
  if (existing != nullptr) {
    SetForegroundWindowCe(existing);
    return FALSE;
  }
  if (RegisterLockClass(instance, s_className) == 0) return FALSE;
  // Not acted on here: the power thread makes the queue again while it has
  // none.
  PowerQueue_Open();
  return TRUE;
}

void MarkOrderlyEnd(void) { InterlockedExchange(&s_endIsOrderly, 1); }

// The last word to the service that started this lock screen.
static int ReportEnd(int exitCode) {
  if (s_orderlyEnd != nullptr) {
    if (s_endIsOrderly != 0) SignalSet(s_orderlyEnd);
    CloseHandle(s_orderlyEnd);
    s_orderlyEnd = nullptr;
  }
  return exitCode;
}

// A lock screen that made the marker has its window up within moments. A
// marker still without a lock window after this long is a stranger's event
// under the suite's name: this lock screen then locks all the same (a real
// one still starting is found by the window test of the instance
// initialisation).
static const DWORD kMarkerOwnerWaitMs = 3000;
static const DWORD kMarkerOwnerPollMs = 50;

static bool LockWindowAppears(void) {
  DWORD start = GetTickCount();
  for (;;) {
    if (LockWindowExists()) return true;
    if (GetTickCount() - start >= kMarkerOwnerWaitMs) return false;
    Sleep(kMarkerOwnerPollMs);
  }
}

// A crash ends the process at once, without a debugger's dialog that would
// keep it (and the keys it holds) alive: the service sees the death and
// starts a new lock screen.
static LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
  TerminateProcess(GetCurrentProcess(), info != nullptr ? info->ExceptionRecord->ExceptionCode : 1);
  return EXCEPTION_EXECUTE_HANDLER;
}

// A name taken by another program as something else than an event (a
// mutex called "End_Event") makes the create fail: a private event keeps
// the workers' stop signal, so they never wait on a null handle.
static HANDLE CreateEndEvent(void) {
  HANDLE end = SignalCreate(kEndEventName, nullptr);
  if (end == nullptr) end = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // Found set (a service stopping its idle watcher, a stop that left it
  // set): the workers about to start would end at once.
  if (end != nullptr) SignalReset(end);
  return end;
}

// Shutdown's worker stop: poll at least every 100 ms until every worker is
// gone; a worker's return ends the current wait early. Sent messages are
// let in while polling, so that a worker blocked in a send to this thread
// (a second refresh thread's WM_ACTIVATE, the power thread's close) is
// answered and can end instead of waiting for ever.
static void WaitForWorkers(void) {
  while (WorkersBusy()) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (!WorkersBusy()) break;
    Workers_WaitForEnd(kPollMs);
  }
}

// Shutdown step 5: the release that every path runs.
static int FinalRelease(int exitCode) {
  if (WorkersBusy()) {
    SignalSet(g_lockScreen.endEvent);
    WaitForWorkers();
    SignalReset(g_lockScreen.endEvent);
  }
  Appointments_CloseConnection();
  PowerQueue_Close();
  Paint_DropEarlyPicture();
  if (g_lockScreen.endEvent != nullptr) CloseHandle(g_lockScreen.endEvent);
  if (s_markerEvent != nullptr) CloseHandle(s_markerEvent);
  g_lockScreen.endEvent = s_markerEvent = nullptr;
  if (s_refreshLockReady) DeleteCriticalSection(&g_lockScreen.refreshLock);
  s_refreshLockReady = false;
  Workers_Release();
  return ReportEnd(exitCode);
}

// Shutdown after the message loop: keys back, display on, workers stopped.
static int Shutdown(int exitCode) {
  GXCloseInput();
  PointerGuard_Stop();
  Covers_Remove();
  DisplayPowerSwitch(TRUE);
  if (g_lockScreen.window != nullptr) DestroyWindow(g_lockScreen.window);
  StopAcceptingWorkers();
  SignalReset(g_lockScreen.endEvent);
  SignalSet(g_lockScreen.endEvent);
  WaitForWorkers();
  SignalReset(g_lockScreen.endEvent);
  // A refresh period may have gone dark while the loop was ending; now that
  // no worker is left, this switch is the last word.
  DisplayPowerSwitch(TRUE);
  g_lockScreen.window = nullptr;
  Paint_DropBitmap();
  return FinalRelease(exitCode);
}

// The desktop gives every overlapped top-level window a caption and a
// frame, which the device does not: without them the client area is the
// whole screen, as the painter's layout expects.
static void DropDesktopFrame(HWND window) {
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
  LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE,
                    exStyle & ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
  SetWindowPos(window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  SetUnhandledExceptionFilter(EndOnCrash);
  s_markerEvent = nullptr;
  s_orderlyEnd = TakeHandedOverEvent();
  Status_Reset();

  // One call creates the marker and says whether a lock screen already
  // showed: two simultaneous starts cannot both pass. A marker that cannot
  // be made (its name taken) does not stop the lock: a second lock screen
  // is still refused by the window test of the instance initialisation.
  BOOL existed = FALSE;
  HANDLE marker = SignalCreate(kLockMarkerEventName, &existed);
  if (marker != nullptr && existed && LockWindowAppears()) {
    CloseHandle(marker);
    return ReportEnd(0);
  }
  s_markerEvent = marker;
  g_lockScreen.endEvent = CreateEndEvent();

  g_lockScreen.appointmentsRunning = g_lockScreen.powerRunning = g_lockScreen.refreshRunning = 0;
  FindModuleDirectory();
  LoadLockScreenSettings(&g_lockScreen.settings);
  ReadOwnerName(g_lockScreen.ownerName);
  g_lockScreen.skin = Skin_Load(g_lockScreen.moduleDir, g_lockScreen.settings.Clock_Type);

  bool failed = false;
  if (g_lockScreen.settings.noButtons != 0) {
    // A lock screen nothing can end is not started again and again.
    MarkOrderlyEnd();
    MessageBoxW(nullptr, kNoButtonsText, kBoxCaption, kBoxStyle);
    failed = true;
  }
  if (!InitInstance(instance)) {
    MessageBoxW(nullptr, kInitFailedText, kBoxCaption, kBoxStyle);
    failed = true;
  }
  if (failed || g_lockScreen.endEvent == nullptr) return FinalRelease(0);

  // The display is known from here on: the first paint's picture is
  // decoded while the window is made.
  Paint_DecodeAhead();
  InitializeCriticalSection(&g_lockScreen.refreshLock);
  s_refreshLockReady = true;
  Workers_Init();
  Appointments_SetStatusText(L"Reading appointments ...");

  HWND window = CreateWindowExW(0, s_className, s_title, WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  g_lockScreen.window = window;
  if (window == nullptr) return FinalRelease(0);
  DropDesktopFrame(window);
  Covers_Show(window);  // before the front: a cover never takes it
  BringLockToFront(window, kFrontAtStart);
  PointerGuard_Start(window);

  GameInputSetTarget(window);
  // Without the keyboard hook the keys still reach the lock window in
  // front; every GXResume (each key, each refresh period) tries again.
  GXOpenInput();

  StartWorker(AppointmentsThread, &g_lockScreen.appointmentsRunning);
  StartWorker(PowerThread, &g_lockScreen.powerRunning);
  StartWorker(RefreshThread, &g_lockScreen.refreshRunning);

  MSG msg;
  int code = 0;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (msg.message == WM_QUIT) code = static_cast<int>(msg.wParam);
  return Shutdown(code);
}
