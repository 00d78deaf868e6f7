// Shell stand-ins: the registry DWORD rules and read counter, full-screen
// top-most windows, the CE foreground form, and the pinned clock.
#include <gtest/gtest.h>

#include "platform/fullscreen.h"
#include "platform/local_time.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tests/wine/support/support.h"

namespace {

const wchar_t kKey[] = L"Software\\Ombrevale\\Test\\Registry";

class PlatformShell : public wt::SuiteTest {
 protected:
  void TearDown() override {
    wt::DeleteTree(HKEY_CURRENT_USER, kKey);
    if (window != nullptr) DestroyWindow(window);
    wt::SuiteTest::TearDown();
  }
  static void Put(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, type, data, size);
  }
  HWND MakeWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PlatformShellTest";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"shell", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr,
                             wc.hInstance, nullptr);
    return window;
  }
  HWND window = nullptr;
};

TEST_F(PlatformShell, RegistryDwordCountsOnlyFourByteDwords) {
  DWORD four = 42;
  ULONGLONG eight = 43;
  WORD two = 44;
  Put(L"Dword", REG_DWORD, &four, 4);
  Put(L"Text", REG_SZ, L"42", 6);
  Put(L"Binary4", REG_BINARY, &four, 4);
  Put(L"Qword", REG_QWORD, &eight, 8);
  Put(L"Dword8", REG_DWORD, &eight, 8);
  Put(L"Dword2", REG_DWORD, &two, 2);
  DWORD value = 7;
  EXPECT_EQ(S_OK, RegistryGetDWORD(HKEY_CURRENT_USER, kKey, L"Dword", &value));
  EXPECT_EQ(42u, value);
  for (const wchar_t* absent : {L"Text", L"Binary4", L"Qword", L"Dword8", L"Dword2", L"Missing"}) {
    value = 7;
    EXPECT_NE(S_OK, RegistryGetDWORD(HKEY_CURRENT_USER, kKey, absent, &value)) << absent;
    EXPECT_EQ(7u, value) << absent;  // untouched
  }
  EXPECT_NE(S_OK, RegistryGetDWORD(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Test\\NoSuchKey", L"Dword", &value));
  EXPECT_EQ(7u, value);
}

TEST_F(PlatformShell, EveryReadIsCounted) {
  DWORD value = 0;
  LONG before = RegistryGetDWORDCount();
  RegistryGetDWORD(HKEY_CURRENT_USER, kKey, L"Missing", &value);
  EXPECT_EQ(before + 1, RegistryGetDWORDCount());
  Put(L"Dword", REG_DWORD, &value, 4);
  for (int i = 0; i < 5; ++i) RegistryGetDWORD(HKEY_CURRENT_USER, kKey, L"Dword", &value);
  EXPECT_EQ(before + 6, RegistryGetDWORDCount());
}

TEST_F(PlatformShell, FullScreenCoversTheScreenTopMost) {
  ASSERT_NE(MakeWindow(), nullptr);
  EXPECT_TRUE(SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), r.bottom);
  EXPECT_NE(0, GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
}

TEST_F(PlatformShell, ActivationBookkeeping) {
  ASSERT_NE(MakeWindow(), nullptr);
  SHACTIVATEINFO info = {};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(SHHandleWMActivate(window, WA_ACTIVE, 0, &info, 0));
  EXPECT_EQ(1u, info.fActive);
  EXPECT_TRUE(SHHandleWMActivate(window, WA_INACTIVE, 0, &info, 0));
  EXPECT_EQ(0u, info.fActive);
  EXPECT_TRUE(SHHandleWMSettingChange(window, 0, 0, &info));
}

TEST_F(PlatformShell, ForegroundWithTheLowBitSet) {
  ASSERT_NE(MakeWindow(), nullptr);
  HWND marked = reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1);
  EXPECT_TRUE(SetForegroundWindowCe(marked));
  EXPECT_EQ(window, GetForegroundWindow());
}

TEST_F(PlatformShell, PinnedClockStandsStill) {
  ASSERT_EQ(0, wt::Device(L"clock \"2026-03-04 05:06:07\""));
  SYSTEMTIME a, b;
  DeviceGetLocalTime(&a);
  EXPECT_EQ(2026, a.wYear);
  EXPECT_EQ(3, a.wMonth);
  EXPECT_EQ(4, a.wDay);
  EXPECT_EQ(3, a.wDayOfWeek);  // a Wednesday
  EXPECT_EQ(5, a.wHour);
  EXPECT_EQ(6, a.wMinute);
  EXPECT_EQ(7, a.wSecond);
  DWORD start = GetTickCount();
  wt::WaitFor([&] { return GetTickCount() - start >= 1100; }, wt::kStepMs);
  DeviceGetLocalTime(&b);
  EXPECT_EQ(0, memcmp(&a, &b, sizeof(a)));
}

TEST_F(PlatformShell, PinnedRunningClockAdvances) {
  ASSERT_EQ(0, wt::Device(L"clock \"2024-12-31 23:59:59\" run"));
  SYSTEMTIME t;
  EXPECT_TRUE(wt::WaitFor(
      [&] {
        DeviceGetLocalTime(&t);
        return t.wYear == 2025;
      },
      wt::kStepMs));
  EXPECT_EQ(1, t.wMonth);
  EXPECT_EQ(1, t.wDay);
  EXPECT_EQ(3, t.wDayOfWeek);
  EXPECT_EQ(0, t.wHour);
}

TEST_F(PlatformShell, ClearedClockIsTheLocalTime) {
  ASSERT_EQ(0, wt::Device(L"clock \"1999-01-01 00:00:00\""));
  ASSERT_EQ(0, wt::Device(L"clock clear"));
  SYSTEMTIME pinned, local;
  DeviceGetLocalTime(&pinned);
  GetLocalTime(&local);
  EXPECT_EQ(local.wYear, pinned.wYear);
  EXPECT_EQ(2, wt::Device(L"clock \"2025-02-29 00:00:00\""));  // no such day
  EXPECT_EQ(2, wt::Device(L"clock \"2025-02-28 00:00:00\" walk"));
}

}  // namespace
