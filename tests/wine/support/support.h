// What the integration tests share: the installed programs, the registry
// the suite reads, real processes, windows, keys and screen pixels.
// Waits poll a condition with a deadline; none of them hides a race behind
// a fixed sleep.
#pragma once
#include <windows.h>
#include <accctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/wine/support/files.h"

namespace wt {

// How long a wait may last. Generous bounds for what must happen, far above
// what it takes on a quiet machine, so that a busy moment of the shared
// machine never fails a test; every wait ends as soon as its condition
// holds.
constexpr DWORD kStepMs = 5000;      // one step: a window shows, a key or a probe's value takes effect
constexpr DWORD kProcessMs = 10000;  // a program starts or ends, a lock through the service, a refresh period
constexpr DWORD kStartMs = 15000;    // a program started through a Unix shell (Wine's text trace)

// Program Files + "\Ombrevale\Hushpane\" + file.
std::wstring InstalledPath(const wchar_t* file);

// Starts an installed program with `"<path>" args`; returns the process
// handle (NULL on failure).
HANDLE Start(const wchar_t* file, const wchar_t* args = L"/load");
// Starts this test program again as a helper process:
// `--helper hold NAME` creates the event and waits to be killed;
// `--helper wait NAME MS` exits 0 when the event is set within MS, else 1;
// `--helper dpi -` exits with the LOGPIXELSY it started with.
HANDLE StartSelf(const wchar_t* args);
// The helper modes' entry; returns -1 when argv names no helper.
int RunHelper(int argc, wchar_t** argv);
// Runs the device tool with `args` and returns its exit code (-1 when it
// could not be started or did not end within 10 s).
int Device(const std::wstring& args);
// Waits for a process to end; its exit code, or -1 on a time-out.
int WaitExit(HANDLE process, DWORD timeoutMs);
// Ends every running copy of the suite's programs (and waits for them).
void KillSuite();
// Number of running processes with this executable name.
int CountProcesses(const wchar_t* exeName);

// Polls `condition` every 10 ms until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// Registry: the settings key and the device keys, cleared between tests.
void ClearSettings();
void SetSetting(const wchar_t* name, DWORD value);
bool GetSetting(const wchar_t* name, DWORD* value, DWORD* type = nullptr, DWORD* size = nullptr);
void SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
void DeleteTree(HKEY root, const wchar_t* key);

// The system's scaling for programs started from now on: Wine's
// LogPixels (144 is 150 %); 0 removes it (96 dpi).
void SetSystemScaling(DWORD logPixels);

// Named events.
bool EventExists(const wchar_t* name);
bool EventSignalled(const wchar_t* name);

// Security: the access an object's DACL allows a well-known group (the
// sum of its allow entries for that group; 0 when none or unreadable).
ACCESS_MASK AllowedTo(HANDLE object, SE_OBJECT_TYPE type, WELL_KNOWN_SID_TYPE group);

// Windows and keys.
HWND WaitWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs);
// One key through the system's input (SendInput), as a person presses it;
// `extra` is its dwExtraInfo.
void Key(WORD vk, bool up, ULONG_PTR extra = 0);
void Tap(WORD vk);
COLORREF ScreenPixel(int x, int y);
// The first visible top-level window of a process with this class (NULL
// when none shows within `timeoutMs`).
HWND WaitProcessWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs);

// Stands for a lock screen that shows, as the other programs see one: the
// marker event and a hidden window of the lock window's class and title
// (a marker alone counts for nothing). Released with ReleaseStandInLock.
struct StandInLock {
  HANDLE marker = nullptr;
  HWND window = nullptr;
};
StandInLock HoldStandInLock();
void ReleaseStandInLock(StandInLock* lock);

// "End_Event" as the fixture holds it open for the whole test, so that its
// state can still be read after every program that made it has ended (an
// event nobody holds is gone, and reads as not set whatever happened).
HANDLE HeldEndEvent();
// Lets go of it (a test that needs the name for something else).
void ReleaseEndEvent();

// A fixture that leaves a clean suite before and after each test: no
// program running, settings and device state cleared, "End_Event" reset
// and held.
class SuiteTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace wt
