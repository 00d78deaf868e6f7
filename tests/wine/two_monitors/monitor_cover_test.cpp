// Two monitors side by side (the primary, 1024x768, with the face; 800x600
// to its right). While the lock shows, a peer window on the second monitor
// is hidden in a screenshot and counts no click or wheel turn; the pointer
// stays on the lock screen's monitor; a display change covers again at
// once. After the unlock, and after a killed lock screen, the peer shows
// and counts clicks again.
//
// The clicks are SendInput at virtual-desktop coordinates: Windows' own
// input path (the pointer's confinement, low-level hooks, the window under
// the pointer). Xephyr routes neither xdotool's pointer moves nor the host
// pointer to its second screen (they land at the first screen's centre).
#include <gtest/gtest.h>

#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

const COLORREF kPeerColour = RGB(0, 255, 0);

// A window of this test program filling most of the second monitor, in a
// colour of its own, counting the clicks and wheel turns it receives.
struct Peer {
  HWND window = nullptr;
  HANDLE thread = nullptr;
  HANDLE ready = nullptr;
  RECT place = {};
  volatile LONG clicks = 0;
  volatile LONG wheels = 0;
};

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Peer* peer = reinterpret_cast<Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (peer != nullptr && message == WM_LBUTTONDOWN) InterlockedIncrement(&peer->clicks);
  if (peer != nullptr && message == WM_MOUSEWHEEL) InterlockedIncrement(&peer->wheels);
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI PeerThread(LPVOID context) {
  Peer* peer = static_cast<Peer*>(context);
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.lpfnWndProc = PeerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = CreateSolidBrush(kPeerColour);
  wc.lpszClassName = L"OmbrevaleTwoMonitorPeer";
  RegisterClassW(&wc);
  const RECT& r = peer->place;
  peer->window = CreateWindowExW(0, wc.lpszClassName, L"peer", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  if (peer->window != nullptr) SetWindowLongPtrW(peer->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  SetEvent(peer->ready);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  if (peer->window != nullptr) DestroyWindow(peer->window);
  DeleteObject(wc.hbrBackground);
  return 0;
}

RECT SecondMonitor() {
  RECT found = {};
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM context) -> BOOL {
        MONITORINFO info;
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
          *reinterpret_cast<RECT*>(context) = info.rcMonitor;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A move to `at`, then a left click or a wheel turn there.
void MouseAt(POINT at, bool wheel) {
  int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT in[3];
  ZeroMemory(in, sizeof(in));
  const DWORD where = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = (at.x - vx) * 65535 / (vw - 1);
    i.mi.dy = (at.y - vy) * 65535 / (vh - 1);
    i.mi.dwFlags = where;
  }
  if (wheel) {
    in[1].mi.dwFlags = where | MOUSEEVENTF_WHEEL;
    in[1].mi.mouseData = WHEEL_DELTA;
    SendInput(2, in, sizeof(INPUT));
    return;
  }
  in[1].mi.dwFlags = where | MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = where | MOUSEEVENTF_LEFTUP;
  SendInput(3, in, sizeof(INPUT));
}

class TwoMonitors : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    second_ = SecondMonitor();
    peer_.place = second_;
    InflateRect(&peer_.place, -40, -40);
    peer_.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    peer_.thread = CreateThread(nullptr, 0, PeerThread, &peer_, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(peer_.ready, wt::kStepMs), WAIT_OBJECT_0);
    ASSERT_NE(peer_.window, nullptr);
    wt::SetSetting(L"Button_1", VK_F1);
  }
  void TearDown() override {
    lt::CloseLock(lock_);
    if (peer_.thread != nullptr) {
      PostThreadMessageW(GetThreadId(peer_.thread), WM_QUIT, 0, 0);
      WaitForSingleObject(peer_.thread, wt::kStepMs);
      CloseHandle(peer_.thread);
    }
    if (peer_.ready != nullptr) CloseHandle(peer_.ready);
    lt::LockTest::TearDown();
  }
  bool PeerShows(bool shows) {
    return wt::WaitFor(
        [&] { return (wt::ScreenPixel(Centre(peer_.place).x, Centre(peer_.place).y) == kPeerColour) == shows; },
        wt::kStepMs);
  }
  // Clicks the peer and waits until exactly `clicks` clicks and `wheels`
  // wheel turns have arrived in all: input is delivered in order, so a
  // click that leaked earlier would show here as one too many.
  void ExpectPeerCounts(LONG clicks, LONG wheels) {
    MouseAt(Centre(peer_.place), false);
    MouseAt(Centre(peer_.place), true);
    EXPECT_TRUE(wt::WaitFor([&] { return peer_.clicks >= clicks && peer_.wheels >= wheels; }, wt::kStepMs));
    EXPECT_EQ(peer_.clicks, clicks);
    EXPECT_EQ(peer_.wheels, wheels);
  }
  RECT second_ = {};
  Peer peer_;
};

// The one cover of the lock screen that lies on the second monitor.
HWND CoverOf(DWORD pid, const RECT& monitor) {
  struct Search {
    DWORD pid;
    RECT monitor;
    HWND found;
  } search = {pid, monitor, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        Search* s = reinterpret_cast<Search*>(context);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        RECT r;
        if (pid == s->pid && GetWindowRect(window, &r) && EqualRect(&r, &s->monitor)) s->found = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST_F(TwoMonitors, TheSecondMonitorIsCoveredAndTakesNoMouseWhileLocked) {
  ASSERT_TRUE(PeerShows(true));
  ExpectPeerCounts(1, 1);

  Lock();
  EXPECT_TRUE(PeerShows(false)) << "the second monitor still shows the desktop";
  MouseAt(Centre(peer_.place), false);
  MouseAt(Centre(peer_.place), true);
  POINT pointer;
  GetCursorPos(&pointer);
  HMONITOR faceMonitor = MonitorFromWindow(lock_.window, MONITOR_DEFAULTTONULL);
  EXPECT_EQ(MonitorFromPoint(pointer, MONITOR_DEFAULTTONULL), faceMonitor) << pointer.x << "," << pointer.y;
  EXPECT_EQ(GetForegroundWindow(), lock_.window);

  // A cover that went (as when a monitor is added or changed) is there
  // again as soon as the lock window hears of the display change; it takes
  // no activation and has no taskbar button.
  DWORD pid = GetProcessId(lock_.process);
  HWND cover = CoverOf(pid, second_);
  ASSERT_NE(cover, nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(cover, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  ShowWindow(cover, SW_HIDE);
  ASSERT_TRUE(PeerShows(true));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(lock_.window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768), SMTO_NORMAL, wt::kStepMs, &ignored);
  EXPECT_TRUE(PeerShows(false));

  wt::Tap(VK_F1);
  EXPECT_EQ(wt::WaitExit(lock_.process, wt::kProcessMs), 0);
  EXPECT_TRUE(PeerShows(true));
  ExpectPeerCounts(2, 2);
}

// The system ends what a killed lock screen had: its covers and its hold
// on the pointer.
TEST_F(TwoMonitors, AKilledLockScreenLeavesTheSecondMonitorFree) {
  Lock();
  ASSERT_TRUE(PeerShows(false));
  lt::CloseLock(lock_);
  EXPECT_TRUE(PeerShows(true));
  ExpectPeerCounts(1, 1);
}

}  // namespace
