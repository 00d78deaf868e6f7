// Corvane's start-up and its ends: single instance, the two start-up
// boxes, the lock window's shape, its resources, and what every end leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/signals.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

class LockStart : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    wt::Device(L"ac online");
    wt::Device(L"battery 80");
  }
};

// The message box of a process: a top-level dialog with caption "Hushpane".
HWND WaitBox(DWORD timeoutMs) {
  HWND box = nullptr;
  wt::WaitFor(
      [&] {
        box = FindWindowW(L"#32770", L"Hushpane");
        return box != nullptr && IsWindowVisible(box);
      },
      timeoutMs);
  return box;
}

std::wstring BoxText(HWND box) {
  std::wstring found;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM out) -> BOOL {
        wchar_t cls[32], text[256];
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"Static") != 0) return TRUE;
        if (GetWindowTextW(child, text, 256) > 0) {
          *reinterpret_cast<std::wstring*>(out) = text;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(LockStart, SecondInstanceEndsAtOnceWithoutWindowOrMessage) {
  wt::SetSetting(L"Button_1", VK_F1);
  lt::Lock first = lt::StartLock();
  ASSERT_NE(first.window, nullptr);
  HANDLE second = wt::Start(L"Corvane.exe");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(wt::WaitExit(second, wt::kProcessMs), 0);
  CloseHandle(second);
  EXPECT_EQ(FindWindowW(L"#32770", L"Hushpane"), nullptr);
  EXPECT_EQ(wt::CountProcesses(L"Corvane.exe"), 1);
  // The first is untouched: it still answers and still holds the marker.
  EXPECT_EQ(FindWindowW(kLockWindowClass, kLockWindowTitle), first.window);
  EXPECT_GE(lt::Probe(first.window, kProbeKeyDowns), 0);
  EXPECT_TRUE(wt::EventExists(kLockMarkerEventName));
  lt::CloseLock(first);
}

TEST_F(LockStart, TwoStartsAtOnceLeaveOneLockScreen) {
  wt::SetSetting(L"Button_1", VK_F1);
  HANDLE a = wt::Start(L"Corvane.exe");
  HANDLE b = wt::Start(L"Corvane.exe");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  HANDLE both[2] = {a, b};
  // One of them ends at once with 0; the other shows the lock window.
  DWORD first = WaitForMultipleObjects(2, both, FALSE, wt::kProcessMs);
  ASSERT_LT(first, WAIT_OBJECT_0 + 2);
  HANDLE ended = both[first - WAIT_OBJECT_0], kept = both[1 - (first - WAIT_OBJECT_0)];
  EXPECT_EQ(wt::WaitExit(ended, 0), 0);
  HWND window = wt::WaitWindow(L"Hushpane", L"Corvane", wt::kProcessMs);
  ASSERT_NE(window, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  EXPECT_EQ(pid, GetProcessId(kept));
  EXPECT_EQ(WaitForSingleObject(kept, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(wt::CountProcesses(L"Corvane.exe"), 1);
  CloseHandle(ended);
  lt::Lock lock;
  lock.process = kept;
  lt::CloseLock(lock);
}

TEST_F(LockStart, NoButtonsShowsTheBoxThenEndsWithoutWindow) {
  HANDLE p = wt::Start(L"Corvane.exe");
  ASSERT_NE(p, nullptr);
  HWND box = WaitBox(wt::kProcessMs);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"     No buttons configured.\n   Please run the configuration.");
  EXPECT_EQ(FindWindowW(kLockWindowClass, kLockWindowTitle), nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  EXPECT_EQ(pid, GetProcessId(p));
  // MB_SETFOREGROUND: the box is in front.
  EXPECT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == box; }, 3000));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(wt::WaitExit(p, wt::kProcessMs), 0);
  CloseHandle(p);
  EXPECT_FALSE(wt::EventExists(kLockMarkerEventName));
}

TEST_F(LockStart, UnusableStoredButtonCountsAsNone) {
  wt::SetSetting(L"Button_1", 0x1FF);
  wt::SetSetting(L"Button_2", 0);
  HANDLE p = wt::Start(L"Corvane.exe");
  HWND box = WaitBox(wt::kProcessMs);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"     No buttons configured.\n   Please run the configuration.");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(wt::WaitExit(p, wt::kProcessMs), 0);
  CloseHandle(p);
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

TEST_F(LockStart, InitInstanceBoxWhenTheLockWindowAlreadyExists) {
  wt::SetSetting(L"Button_1", VK_F1);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Hushpane";
  RegisterClassW(&wc);
  HWND mine = CreateWindowExW(0, L"Hushpane", L"Corvane", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(mine, nullptr);
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 80, 80, 50, 50, nullptr, nullptr,
                               wc.hInstance, nullptr);
  SetForegroundWindow(other);
  HANDLE p = wt::Start(L"Corvane.exe");
  HWND box = WaitBox(wt::kProcessMs);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"     Could not InitInstance...");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(wt::WaitExit(p, wt::kProcessMs), 0);
  CloseHandle(p);
  // No second lock window was made, and the marker went with the process.
  EXPECT_EQ(FindWindowExW(nullptr, mine, L"Hushpane", L"Corvane"), nullptr);
  EXPECT_FALSE(wt::EventExists(kLockMarkerEventName));
  DestroyWindow(other);
  DestroyWindow(mine);
  UnregisterClassW(L"Hushpane", wc.hInstance);
}

TEST_F(LockStart, LockWindowCoversTheScreenInFront) {
  wt::SetSetting(L"Button_1", VK_F1);
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  RECT r;
  GetWindowRect(lock.window, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(IsWindowVisible(lock.window));
  EXPECT_EQ(GetClassLongPtrW(lock.window, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), CS_HREDRAW | CS_VREDRAW);
  // The client area is the whole screen: no caption or frame.
  RECT client;
  GetClientRect(lock.window, &client);
  EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_NE(GetWindowLongPtrW(lock.window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == lock.window; }, 3000));
  EXPECT_TRUE(wt::EventExists(kLockMarkerEventName));
  lt::CloseLock(lock);
}

TEST_F(LockStart, Resources) {
  std::wstring path = wt::InstalledPath(L"Corvane.exe");
  HMODULE m = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(m, nullptr);
  wchar_t text[100];
  ASSERT_GT(LoadStringW(m, 1, text, 100), 0);
  EXPECT_STREQ(text, L"Corvane");
  ASSERT_GT(LoadStringW(m, 2, text, 100), 0);
  EXPECT_STREQ(text, L"Hushpane");
  EXPECT_NE(FindResourceW(m, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
  HRSRC marker = FindResourceW(m, L"HI_RES_AWARE", L"CEUX");
  ASSERT_NE(marker, nullptr);
  ASSERT_EQ(SizeofResource(m, marker), 2u);
  const WORD* value = static_cast<const WORD*>(LockResource(LoadResource(m, marker)));
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, 1);
  HRSRC manifest = FindResourceW(m, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(manifest, nullptr);
  std::string xml(static_cast<const char*>(LockResource(LoadResource(m, manifest))), SizeofResource(m, manifest));
  EXPECT_NE(xml.find("<dpiAware"), std::string::npos);
  EXPECT_NE(xml.find(">true<"), std::string::npos);
  FreeLibrary(m);
}

TEST_F(LockStart, WmCloseFromAnotherProgramEndsCleanly) {
  wt::SetSetting(L"Button_1", VK_F1);
  lt::Peer* peer = lt::StartPeer();
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  PostMessageW(lock.window, WM_CLOSE, 0, 0);
  lt::ExpectCleanEnd(lock.process, peer);
  CloseHandle(lock.process);
  lt::StopPeer(peer);
}

TEST_F(LockStart, SystemCloseAndKeyMenuDoNotEndIt) {
  wt::SetSetting(L"Button_1", VK_F1);
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  PostMessageW(lock.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(lock.window, WM_SYSCOMMAND, SC_KEYMENU, 0);
  // A key posted after them is handled only once they have been: the
  // window is still there to count it.
  PostMessageW(lock.window, WM_KEYDOWN, 'Q', 1);
  EXPECT_TRUE(lt::WaitProbe(lock.window, kProbeKeyDowns, 1, wt::kStepMs));
  EXPECT_EQ(WaitForSingleObject(lock.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  lt::CloseLock(lock);
}

}  // namespace
