// Helpers of the lock screen's integration tests (see lockscreen_support.h).
#include "tests/wine/support/lockscreen_support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/device_state.h"
#include "shared/signals.h"
#include "tests/wine/support/support.h"

namespace lt {

Lock StartLock() {
  Lock lock;
  lock.process = wt::Start(L"Corvane.exe");
  if (lock.process == nullptr) return lock;
  wt::WaitFor(
      [&] {
        lock.window = FindWindowW(kLockWindowClass, kLockWindowTitle);
        return lock.window != nullptr && IsWindowVisible(lock.window);
      },
      wt::kProcessMs);
  // Running: its workers have started (the first refresh tick is taken).
  if (lock.window != nullptr) WaitProbe(lock.window, kProbeTicks, 1, wt::kStepMs);
  return lock;
}

// Wine writes its debug channels to the Unix standard error of the
// process, which no Windows handle redirects (CreateProcess passes on only
// standard input and output). So the lock screen is started through a Unix
// shell (Wine runs Unix programs from CreateProcess) that sends the trace
// to a file under /tmp, read back here as Z:\tmp\...
Lock StartTracedLock(const wchar_t* tz) {
  Lock lock;
  wchar_t name[64];
  swprintf(name, 64, L"ombrevale-trace-%lu-%lu.log", GetCurrentProcessId(), GetTickCount());
  lock.traceFile = std::wstring(L"Z:\\tmp\\") + name;
  const std::wstring zone = tz != nullptr ? std::wstring(L"TZ=") + tz + L" " : std::wstring();
  std::wstring command = L"/bin/sh -c \"" + zone + L"WINEDEBUG=trace+text exec wine '" +
                         wt::InstalledPath(L"Corvane.exe") + L"' /load 2>/tmp/" + name + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return lock;
  CloseHandle(pi.hThread);
  lock.process = pi.hProcess;
  wt::WaitFor(
      [&] {
        lock.window = FindWindowW(kLockWindowClass, kLockWindowTitle);
        return lock.window != nullptr && IsWindowVisible(lock.window);
      },
      wt::kStartMs);
  return lock;
}

void CloseLock(Lock& lock) {
  if (!lock.traceFile.empty()) wt::KillSuite();
  if (lock.process != nullptr) {
    TerminateProcess(lock.process, 1);
    WaitForSingleObject(lock.process, wt::kStepMs);
    CloseHandle(lock.process);
  }
  if (!lock.traceFile.empty()) DeleteFileW(lock.traceFile.c_str());
  lock = Lock();
}

namespace {

// A Wine debug string: L"..." with C escapes (\n, \t, \\, \", \xNNNN).
bool ParseQuoted(const std::string& s, size_t* at, std::wstring* out) {
  size_t i = *at;
  if (i + 1 >= s.size() || s[i] != 'L' || s[i + 1] != '"') return false;
  i += 2;
  out->clear();
  while (i < s.size() && s[i] != '"') {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char c = s[++i];
      if (c == 'n') out->push_back(L'\n');
      else if (c == 't') out->push_back(L'\t');
      else if (c == 'r') out->push_back(L'\r');
      else if (c == 'x' || c == 'u') {
        size_t n = 0;
        unsigned v = 0;
        while (n < 4 && i + 1 < s.size() && isxdigit(static_cast<unsigned char>(s[i + 1]))) {
          v = v * 16 +
              (isdigit(static_cast<unsigned char>(s[i + 1])) ? s[i + 1] - '0' : (tolower(s[i + 1]) - 'a' + 10));
          ++i;
          ++n;
        }
        out->push_back(static_cast<wchar_t>(v));
      } else {
        out->push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
      }
      ++i;
    } else {
      // UTF-8 in the trace for characters Wine prints as they are.
      out->push_back(static_cast<wchar_t>(static_cast<unsigned char>(s[i])));
      ++i;
    }
  }
  *at = i + 1;
  return true;
}

}  // namespace

std::vector<Drawn> DrawnTexts(const Lock& lock) {
  std::vector<Drawn> drawn;
  const std::string all = wt::Slurp(lock.traceFile);
  const std::string head = "DrawTextExW L\"", whole = ", -1, [(";
  for (size_t at = all.find(head); at != std::string::npos; at = all.find(head, at + 1)) {
    size_t q = at + head.size() - 2;  // at the L"
    Drawn d{};
    if (!ParseQuoted(all, &q, &d.text) || all.compare(q, whole.size(), whole) != 0) continue;
    int l = 0, t = 0, r = 0, b = 0;
    unsigned flags = 0;
    if (sscanf(all.c_str() + q + whole.size() - 1, "(%d,%d)-(%d,%d)] %x", &l, &t, &r, &b, &flags) < 4) continue;
    d.rect = RECT{l, t, r, b};
    d.flags = flags;
    drawn.push_back(d);
  }
  return drawn;
}

int WaitDrawn(const Lock& lock, const std::wstring& text, DWORD timeoutMs, size_t from) {
  int index = -1;
  wt::WaitFor(
      [&] {
        const std::vector<Drawn> d = DrawnTexts(lock);
        for (size_t i = from; i < d.size(); ++i)
          if (d[i].text == text) {
            index = static_cast<int>(i);
            return true;
          }
        return false;
      },
      timeoutMs);
  return index;
}

std::string DrawnDump(const Lock& lock, size_t from) {
  std::string s;
  const std::vector<Drawn> d = DrawnTexts(lock);
  for (size_t i = from; i < d.size(); ++i) {
    for (wchar_t c : d[i].text) s.push_back(c < 128 ? static_cast<char>(c) : '?');
    s += "\n";
  }
  return s;
}

void LockTest::TearDown() {
  CloseLock(lock_);
  wt::SuiteTest::TearDown();
}

void LockTest::Lock() {
  lock_ = StartLock();
  ASSERT_NE(lock_.window, nullptr);
}

LONG_PTR Probe(HWND window, int what) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_LOCK_PROBE, static_cast<WPARAM>(what), 0, SMTO_NORMAL, wt::kStepMs, &result))
    return -2;
  return static_cast<LONG_PTR>(result);
}

bool WaitProbe(HWND window, int what, LONG_PTR want, DWORD timeoutMs) {
  return wt::WaitFor([&] { return Probe(window, what) >= want; }, timeoutMs);
}

bool DisplayOn() { return wt::Device(L"display") == 0; }

bool DeviceDword(const wchar_t* name, DWORD* value) { return DeviceReadDword(name, value) != FALSE; }

// ------------------------------------------------------------------ peer
struct Peer {
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  HWND window = nullptr;
  HANDLE ready = nullptr;
  volatile LONG keyDowns[256] = {};
  volatile LONG anyInput = 0;
  volatile LONG hotKeys = 0;
};

namespace {

const UINT kRegisterHotKey = WM_APP + 10;  // wParam id, lParam MAKELPARAM(modifiers, vk)

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Peer* peer = reinterpret_cast<Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (peer) {
        InterlockedIncrement(&peer->keyDowns[wParam & 0xFF]);
        InterlockedIncrement(&peer->anyInput);
      }
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
      if (peer) InterlockedIncrement(&peer->anyInput);
      return 0;
    case WM_HOTKEY:
      if (peer) {
        InterlockedIncrement(&peer->hotKeys);
        InterlockedIncrement(&peer->anyInput);
      }
      return 0;
    case WM_SYSCOMMAND:
      if (peer) InterlockedIncrement(&peer->anyInput);  // Alt+F4, F10, Alt+Space
      return 0;
    case WM_CLOSE: return 0;  // only StopPeer ends it
    case kRegisterHotKey:
      return RegisterHotKey(window, static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam)) ? 1 : 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

DWORD WINAPI PeerThread(LPVOID arg) {
  Peer* peer = static_cast<Peer*>(arg);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = PeerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"OmbrevaleTestPeer";
  RegisterClassW(&wc);
  peer->window = CreateWindowExW(0, wc.lpszClassName, L"peer", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                 wc.hInstance, nullptr);
  if (peer->window != nullptr) SetWindowLongPtrW(peer->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  SetEvent(peer->ready);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (peer->window != nullptr) DestroyWindow(peer->window);
  return 0;
}

}  // namespace

Peer* StartPeer() {
  Peer* peer = new Peer();
  peer->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  peer->thread = CreateThread(nullptr, 0, PeerThread, peer, 0, &peer->threadId);
  WaitForSingleObject(peer->ready, wt::kStepMs);
  return peer;
}

void StopPeer(Peer* peer) {
  if (peer == nullptr) return;
  PostThreadMessageW(peer->threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(peer->thread, wt::kStepMs);
  CloseHandle(peer->thread);
  CloseHandle(peer->ready);
  delete peer;
}

HWND PeerWindow(Peer* peer) { return peer->window; }

bool PeerHotKey(Peer* peer, int id, UINT modifiers, UINT vk) {
  return SendMessageW(peer->window, kRegisterHotKey, static_cast<WPARAM>(id), MAKELPARAM(modifiers, vk)) == 1;
}

void PeerClearCounts(Peer* peer) {
  for (auto& k : peer->keyDowns) InterlockedExchange(&k, 0);
  InterlockedExchange(&peer->anyInput, 0);
  InterlockedExchange(&peer->hotKeys, 0);
}

LONG PeerKeyDowns(Peer* peer, UINT vk) { return peer->keyDowns[vk & 0xFF]; }
LONG PeerAnyInput(Peer* peer) { return peer->anyInput; }
LONG PeerHotKeys(Peer* peer) { return peer->hotKeys; }

bool PeerToFront(Peer* peer) {
  return wt::WaitFor(
      [&] {
        if (GetForegroundWindow() == peer->window) return true;
        SetForegroundWindow(peer->window);
        return false;
      },
      3000);
}

bool WaitHotKeyReady(HANDLE tool, DWORD timeoutMs) {
  // The tool says so itself. Trying the key with a registration of our own
  // would hold it for a moment, and a tool that registers in that moment is
  // refused and ends.
  bool ready = false;
  wt::WaitFor(
      [&] {
        DWORD hits = 1;
        ready = DeviceDword(L"HotkeyHits", &hits) && hits == 0;
        return ready || WaitForSingleObject(tool, 0) != WAIT_TIMEOUT;
      },
      timeoutMs);
  return ready && WaitForSingleObject(tool, 0) == WAIT_TIMEOUT;
}

void ExpectCleanEnd(HANDLE process, Peer* peer) {
  EXPECT_EQ(wt::WaitExit(process, wt::kProcessMs), 0);
  EXPECT_TRUE(DisplayOn());
  ASSERT_NE(wt::HeldEndEvent(), nullptr);
  EXPECT_EQ(WaitForSingleObject(wt::HeldEndEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "End_Event left set";
  EXPECT_FALSE(wt::EventExists(kLockMarkerEventName));
  EXPECT_EQ(FindWindowW(kLockWindowClass, kLockWindowTitle), nullptr);
  if (peer != nullptr) {
    // Keys flow again: a key reaches the window in front.
    ASSERT_TRUE(PeerToFront(peer));
    LONG before = PeerKeyDowns(peer, VK_F9);
    wt::Tap(VK_F9);
    EXPECT_TRUE(wt::WaitFor([&] { return PeerKeyDowns(peer, VK_F9) > before; }, wt::kStepMs));
  }
}

}  // namespace lt

namespace lt {

// ---------------------------------------------------------------- witness
struct Witness {
  HWND parent = nullptr;
  HANDLE event = nullptr;
  HANDLE ready = nullptr;
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  HWND window = nullptr;
  volatile LONG saw = -1;
};

namespace {

LRESULT CALLBACK WitnessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    Witness* w = reinterpret_cast<Witness*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (w != nullptr) InterlockedExchange(&w->saw, WaitForSingleObject(w->event, 0) == WAIT_OBJECT_0 ? 1 : 0);
    PostQuitMessage(0);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI WitnessThread(LPVOID arg) {
  Witness* w = static_cast<Witness*>(arg);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WitnessProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OmbrevaleTestWitness";
  RegisterClassW(&wc);
  w->window =
      CreateWindowExW(0, wc.lpszClassName, L"witness", WS_CHILD, 0, 0, 1, 1, w->parent, nullptr, wc.hInstance, nullptr);
  if (w->window != nullptr) SetWindowLongPtrW(w->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  SetEvent(w->ready);
  MSG msg;
  while (w->window != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

}  // namespace

Witness* AttachWitness(HWND parent, HANDLE event) {
  Witness* w = new Witness();
  w->parent = parent;
  w->event = event;
  w->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  w->thread = CreateThread(nullptr, 0, WitnessThread, w, 0, &w->threadId);
  WaitForSingleObject(w->ready, wt::kStepMs);
  return w;
}

bool WitnessAttached(Witness* w) { return w != nullptr && w->window != nullptr; }

LONG WitnessSawSet(Witness* w) {
  wt::WaitFor([&] { return w->saw >= 0; }, wt::kProcessMs);
  return w->saw;
}

void DetachWitness(Witness* w) {
  if (w == nullptr) return;
  PostThreadMessageW(w->threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(w->thread, wt::kStepMs);
  CloseHandle(w->thread);
  CloseHandle(w->ready);
  delete w;
}

}  // namespace lt
