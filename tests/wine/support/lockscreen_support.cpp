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
      10000);
  // Running: its workers have started (the first refresh tick is taken).
  if (lock.window != nullptr) WaitProbe(lock.window, kProbeTicks, 1, 5000);
  return lock;
}

Lock StartLockTraced(const std::wstring& logPath) {
  Lock lock;
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE log = CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return lock;
  std::wstring path = wt::InstalledPath(L"Corvane.exe");
  std::wstring cmd = L"\"" + path + L"\" /load";
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = log;
  si.hStdError = log;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
  SetEnvironmentVariableW(L"WINEDEBUG", L"trace+text");
  BOOL ok = CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(L"WINEDEBUG", nullptr);
  CloseHandle(log);
  if (!ok) return lock;
  CloseHandle(pi.hThread);
  lock.process = pi.hProcess;
  wt::WaitFor([&] { return (lock.window = FindWindowW(kLockWindowClass, kLockWindowTitle)) != nullptr; }, 10000);
  if (lock.window != nullptr) WaitProbe(lock.window, kProbeTicks, 1, 5000);
  return lock;
}

std::string FileBytes(const std::wstring& path) {
  std::string all;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return all;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got > 0) all.append(buffer, got);
  CloseHandle(f);
  return all;
}

bool FileHas(const std::wstring& path, const std::string& text) { return FileBytes(path).find(text) != std::string::npos; }

void CloseLock(Lock& lock) {
  if (lock.process != nullptr) {
    TerminateProcess(lock.process, 1);
    WaitForSingleObject(lock.process, 5000);
    CloseHandle(lock.process);
  }
  lock = Lock();
}

LONG_PTR Probe(HWND window, int what) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_LOCK_PROBE, static_cast<WPARAM>(what), 0, SMTO_NORMAL, 2000, &result)) return -2;
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
    case WM_CLOSE:
      return 0;  // only StopPeer ends it
    case kRegisterHotKey:
      return RegisterHotKey(window, static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam)) ? 1 : 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
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
  peer->window = CreateWindowExW(0, wc.lpszClassName, L"peer", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                 nullptr, wc.hInstance, nullptr);
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
  WaitForSingleObject(peer->ready, 5000);
  return peer;
}

void StopPeer(Peer* peer) {
  if (peer == nullptr) return;
  PostThreadMessageW(peer->threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(peer->thread, 5000);
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

namespace {

std::string Slurp(const std::string& path) {
  std::string all;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return all;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got > 0) all.append(buffer, got);
  CloseHandle(f);
  return all;
}

}  // namespace

double HostCpuMs(const char* needle) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return -1;
  long long ticks = 0;
  do {
    if (fd.cFileName[0] < '0' || fd.cFileName[0] > '9') continue;
    std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
    std::string cmd = Slurp(dir + "\\cmdline");
    for (char& c : cmd)
      if (c == 0) c = ' ';
    if (cmd.find(needle) == std::string::npos) continue;
    std::string stat = Slurp(dir + "\\stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    const char* p = stat.c_str() + close + 2;  // field 3, the state
    for (int field = 3; *p != 0 && field < 14; ++p)
      if (*p == ' ') ++field;
    long long utime = 0, stime = 0;
    if (sscanf(p, "%lld %lld", &utime, &stime) == 2) ticks += utime + stime;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return static_cast<double>(ticks) * 10.0;  // 100 ticks a second on Linux
}

bool WaitHotKeyTaken(UINT modifiers, UINT vk, DWORD timeoutMs) {
  return wt::WaitFor(
      [&] {
        if (RegisterHotKey(nullptr, 0x7F00, modifiers, vk)) {
          UnregisterHotKey(nullptr, 0x7F00);
          return false;
        }
        return true;
      },
      timeoutMs);
}

void ExpectCleanEnd(HANDLE process, Peer* peer) {
  EXPECT_EQ(wt::WaitExit(process, 10000), 0);
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
    EXPECT_TRUE(wt::WaitFor([&] { return PeerKeyDowns(peer, VK_F9) > before; }, 5000));
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
  w->window = CreateWindowExW(0, wc.lpszClassName, L"witness", WS_CHILD, 0, 0, 1, 1, w->parent, nullptr,
                              wc.hInstance, nullptr);
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
  WaitForSingleObject(w->ready, 5000);
  return w;
}

bool WitnessAttached(Witness* w) { return w != nullptr && w->window != nullptr; }

LONG WitnessSawSet(Witness* w) {
  wt::WaitFor([&] { return w->saw >= 0; }, 10000);
  return w->saw;
}

void DetachWitness(Witness* w) {
  if (w == nullptr) return;
  PostThreadMessageW(w->threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(w->thread, 5000);
  CloseHandle(w->thread);
  CloseHandle(w->ready);
  delete w;
}

}  // namespace lt
