// What the lock screen's integration tests share: starting Corvane (with
// or without Wine's text trace) and finding its window, the texts a traced
// one drew, the window's read-only probe, the fixture of the tests that
// lock, a peer window that records every key and hot key it sees, and the
// checks that must hold after every end of a lock screen.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "shared/lock_window.h"  // the lock window's names and its probe
#include "tests/wine/support/support.h"

namespace lt {

struct Lock {
  HANDLE process = nullptr;  // Corvane; for a traced lock the shell that started it
  HWND window = nullptr;
  std::wstring traceFile;  // a traced lock's Wine text trace (Z:\tmp\...); empty otherwise
};

// Starts Corvane and waits for its lock window and its first refresh tick;
// window NULL on failure.
Lock StartLock();
// Starts Corvane with WINEDEBUG=trace+text, the trace in a file, and waits
// for its lock window to show. `tz` (an IANA name, may be null) is the time
// zone of the Wine process (TZ), the device's zone.
Lock StartTracedLock(const wchar_t* tz = nullptr);
// Ends the lock screen (a traced one through wt::KillSuite, since its
// process is the shell) and removes its trace.
void CloseLock(Lock& lock);

// One DrawTextExW call of the lock screen, as the text trace reports it.
// Calls with a counted length are left out: the lock screen always passes
// -1, Wine's own caption painting (the frame start-up drops) a count.
struct Drawn {
  std::wstring text;
  RECT rect;
  UINT flags;
};
// Every text a traced lock has drawn so far, in order.
std::vector<Drawn> DrawnTexts(const Lock& lock);
// Waits until a text equal to `text` has been drawn (at index `from` or
// later); its index or -1.
int WaitDrawn(const Lock& lock, const std::wstring& text, DWORD timeoutMs, size_t from = 0);
// The texts drawn from index `from` on, one a line (ASCII, '?' for the
// rest), for a failure's message.
std::string DrawnDump(const Lock& lock, size_t from = 0);

// The probe's answer, or -2 when the window did not answer.
LONG_PTR Probe(HWND window, int what);
bool WaitProbe(HWND window, int what, LONG_PTR want, DWORD timeoutMs);

// The fixture of the tests that lock: a clean suite, and the lock screen
// the test started ended after it.
class LockTest : public wt::SuiteTest {
 protected:
  void TearDown() override;
  // Starts Corvane into lock_; fails the test when its window does not show.
  void Lock();
  LONG_PTR Probe(int what) { return lt::Probe(lock_.window, what); }
  bool Alive() { return WaitForSingleObject(lock_.process, 0) == WAIT_TIMEOUT; }
  lt::Lock lock_;
};

// The recorded display state, read through the device tool.
bool DisplayOn();
// A value of the simulated device (HKCU Software\Ombrevale\Device).
bool DeviceDword(const wchar_t* name, DWORD* value);

// A window of this test program on its own thread. It records key-downs,
// characters and hot keys; it can register hot keys on its own thread.
struct Peer;
Peer* StartPeer();
void StopPeer(Peer* peer);
HWND PeerWindow(Peer* peer);
// Registers a hot key on the peer's thread (FALSE when it is taken).
bool PeerHotKey(Peer* peer, int id, UINT modifiers, UINT vk);
void PeerClearCounts(Peer* peer);
LONG PeerKeyDowns(Peer* peer, UINT vk);  // WM_KEYDOWN / WM_SYSKEYDOWN of vk
LONG PeerAnyInput(Peer* peer);           // every key, char and hot-key message
LONG PeerHotKeys(Peer* peer);
// Brings the peer to the front with the focus.
bool PeerToFront(Peer* peer);

// After a lock screen ended: exit code 0, the display on, "End_Event"
// reset (read through the fixture's held handle), the marker gone, and keys
// reaching the peer again.
void ExpectCleanEnd(HANDLE process, Peer* peer);

// Waits until the device tool's hot-key peer `tool` has registered its hot
// key: its count "HotkeyHits" appears as 0. False when the tool ended (its
// registration failed) or the count did not appear within `timeoutMs`.
bool WaitHotKeyReady(HANDLE tool, DWORD timeoutMs);

// A child window of another program's window (the lock window), on a
// thread of this test. Destroying a window destroys its children first, and
// a child of another thread is destroyed by a message sent to it while the
// parent's thread waits: so the witness sees the state of `event` at the
// very moment the parent window went.
struct Witness;
Witness* AttachWitness(HWND parent, HANDLE event);
bool WitnessAttached(Witness* w);
// 1 when `event` was set as the parent went, 0 when not, -1 when the parent
// has not gone within 10 s.
LONG WitnessSawSet(Witness* w);
void DetachWitness(Witness* w);

}  // namespace lt
