// What the lock screen's integration tests share: starting Corvane and
// finding its window, the window's read-only probe, a peer window that
// records every key and hot key it sees, and the checks that must hold
// after every end of a lock screen.
#pragma once
#include <windows.h>

#include <string>

#include "shared/lock_window.h"  // the lock window's names and its probe

namespace lt {

struct Lock {
  HANDLE process = nullptr;
  HWND window = nullptr;
};

// Starts Corvane and waits for its lock window; window NULL on failure.
Lock StartLock();
void CloseLock(Lock& lock);
// Starts Corvane with WINEDEBUG=trace+text and its standard output and
// error handles on `logPath`, for the Wine text trace (every DrawTextExW
// call with its text and rectangle) where the Wine build delivers it there.
Lock StartLockTraced(const std::wstring& logPath);
// The file's bytes (empty when it cannot be read), and whether it holds
// `text` (Wine writes its traces in ASCII).
std::string FileBytes(const std::wstring& path);
bool FileHas(const std::wstring& path, const std::string& text);

// The probe's answer, or -2 when the window did not answer.
LONG_PTR Probe(HWND window, int what);
bool WaitProbe(HWND window, int what, LONG_PTR want, DWORD timeoutMs);

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

// CPU time in milliseconds (user + system) of the host processes whose
// command line holds `needle`, read from /proc through Wine's Z: drive
// (under Wine GetProcessTimes reports nothing for another process). -1 when
// /proc cannot be read.
double HostCpuMs(const char* needle);

// Waits until another process owns this hot key (our own registration fails).
bool WaitHotKeyTaken(UINT modifiers, UINT vk, DWORD timeoutMs);

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
