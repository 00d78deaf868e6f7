// The refresh thread: going dark on battery, running on external power,
// the battery reading, Hide_Messages and keeping the lock window in front.
#include <gtest/gtest.h>

#include "shared/signals.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/paint_support.h"
#include "tests/wine/support/support.h"

namespace {

class Refresh : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    wt::SetSetting(L"Button_1", VK_F1);
    wt::SetSetting(L"Button_2", 'K');
    wt::Device(L"display on");
  }
  static bool DisplayOff() {
    DWORD off = 0;
    return lt::DeviceDword(L"DisplayOff", &off) && off == 1;
  }
};

TEST_F(Refresh, OnBatteryGoesDarkAndAKeyStartsANewPeriod) {
  wt::Device(L"ac offline");
  wt::Device(L"battery 60");
  wt::SetSetting(L"TimeOut", 1);
  Lock();
  EXPECT_TRUE(lt::DisplayOn());
  ASSERT_TRUE(wt::WaitFor([] { return !lt::DisplayOn(); }, wt::kProcessMs));
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeRefreshRunning) == 0; }, wt::kStepMs));
  LONG_PTR ticks = Probe(kProbeTicks);
  wt::Tap('Z');
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeRefreshRunning) == 1; }, wt::kStepMs));
  EXPECT_TRUE(lt::DisplayOn());
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeTicks) > ticks; }, wt::kStepMs));
  // And that period ends dark again.
  EXPECT_TRUE(wt::WaitFor([] { return DisplayOff(); }, wt::kProcessMs));
  EXPECT_TRUE(Alive());
}

TEST_F(Refresh, KeysDuringAPeriodDoNotExtendIt) {
  wt::Device(L"ac offline");
  wt::Device(L"battery 60");
  wt::SetSetting(L"TimeOut", 2);
  Lock();
  // A key every 200 ms: if a key extended the period the display would
  // never go dark while they come.
  int polls = 0;
  bool dark = wt::WaitFor(
      [&] {
        if (++polls % 20 == 0) wt::Tap('Z');
        return DisplayOff();
      },
      wt::kProcessMs);
  EXPECT_TRUE(dark);
}

TEST_F(Refresh, OnExternalPowerNeverDarkAndEndsWithinATickOfEndEvent) {
  wt::Device(L"ac online");
  wt::Device(L"battery 60");
  wt::SetSetting(L"TimeOut", 1);
  Lock();
  // Several one-second periods pass (5 ticks each) without going dark.
  EXPECT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, 12, wt::kProcessMs));
  EXPECT_FALSE(DisplayOff());
  EXPECT_EQ(Probe(kProbeRefreshRunning), 1);
  HANDLE end = OpenEventW(EVENT_ALL_ACCESS, FALSE, kEndEventName);
  ASSERT_NE(end, nullptr);
  SetEvent(end);
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeRefreshRunning) == 0; }, 3000));
  ResetEvent(end);
  CloseHandle(end);
  EXPECT_FALSE(DisplayOff());
  EXPECT_TRUE(Alive());
}

TEST_F(Refresh, UnknownAcStatusKeepsRunning) {
  wt::Device(L"ac unknown");
  wt::SetSetting(L"TimeOut", 1);
  Lock();
  EXPECT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, 12, wt::kProcessMs));
  EXPECT_FALSE(DisplayOff());
  EXPECT_EQ(Probe(kProbeRefreshRunning), 1);
}

// TimeOut 0 or less on external power: the lock screen keeps its clock,
// counts, battery and front, tick by tick, never goes dark and never spins.
TEST_F(Refresh, ZeroTimeOutOnExternalPowerKeepsTickingWithoutSpinning) {
  wt::Device(L"ac online");
  wt::SetSetting(L"TimeOut", 0);
  lock_.process = wt::Start(L"Corvane.exe");
  ASSERT_TRUE(wt::WaitFor([&] { return (lock_.window = FindWindowW(kLockWindowClass, kLockWindowTitle)) != nullptr; },
                          wt::kProcessMs));
  ASSERT_TRUE(wt::WaitFor([&] { return Probe(kProbeRefreshRunning) == 1; }, wt::kStepMs));
  double before = wt::HostCpuMs("Corvane.exe");
  ASSERT_GE(before, 0);
  DWORD start = GetTickCount();
  Sleep(1500);  // the span over which CPU time is measured
  double used = wt::HostCpuMs("Corvane.exe") - before;
  DWORD span = GetTickCount() - start;
  // A spinning thread would use about the whole span.
  EXPECT_LT(used, span * 0.15) << used << " ms of CPU in " << span << " ms";
  EXPECT_GE(Probe(kProbeTicks), 3);
  EXPECT_EQ(Probe(kProbeRefreshRunning), 1);
  EXPECT_FALSE(DisplayOff());
  HANDLE end = OpenEventW(EVENT_ALL_ACCESS, FALSE, kEndEventName);
  ASSERT_NE(end, nullptr);
  SetEvent(end);
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeRefreshRunning) == 0; }, 3000));
  ResetEvent(end);
  CloseHandle(end);
}

TEST_F(Refresh, ZeroTimeOutOnBatteryGoesDarkAtOnce) {
  wt::Device(L"ac offline");
  wt::SetSetting(L"TimeOut", 0);
  lock_.process = wt::Start(L"Corvane.exe");
  ASSERT_TRUE(wt::WaitFor([&] { return (lock_.window = FindWindowW(kLockWindowClass, kLockWindowTitle)) != nullptr; },
                          wt::kProcessMs));
  EXPECT_TRUE(wt::WaitFor([] { return DisplayOff(); }, wt::kStepMs));
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeRefreshRunning) == 0; }, wt::kStepMs));
  EXPECT_EQ(Probe(kProbeTicks), 0);
}

TEST_F(Refresh, BatteryReadings) {
  wt::Device(L"ac online");
  wt::Device(L"battery 5");
  Lock();
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeBattery) == 0x100 + 5; }, wt::kStepMs));
  wt::Device(L"battery unknown");  // 255: ignored
  LONG_PTR ticks = Probe(kProbeTicks);
  EXPECT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, ticks + 3, wt::kStepMs));
  EXPECT_EQ(Probe(kProbeBattery), 0x100 + 5);
  wt::Device(L"battery 100");
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeBattery) == 0x100 + 100; }, wt::kStepMs));
}

TEST_F(Refresh, RealZeroPercentAtTheFirstTickIsARealReading) {
  wt::Device(L"ac online");
  wt::Device(L"battery 0");
  Lock();
  EXPECT_TRUE(wt::WaitFor([&] { return Probe(kProbeBattery) == 0x100; }, wt::kStepMs));
}

TEST_F(Refresh, HideMessagesReadsNoCounts) {
  wt::Device(L"ac online");
  wt::SetSetting(L"Hide_Messages", 1);
  wt::Device(L"sms 7");
  wt::Device(L"mail 3");
  wt::Device(L"calls missed 2");
  Lock();
  ASSERT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, 10, wt::kProcessMs));
  EXPECT_EQ(Probe(kProbeRegistryReads), 0);
}

TEST_F(Refresh, CountsAreReadEveryTick) {
  wt::Device(L"ac online");
  wt::Device(L"sms 7");
  Lock();
  ASSERT_TRUE(lt::WaitProbe(lock_.window, kProbeTicks, 10, wt::kProcessMs));
  LONG_PTR ticks = Probe(kProbeTicks);
  LONG_PTR reads = Probe(kProbeRegistryReads);
  // Three reads a tick; the tick under way may have read part of them.
  EXPECT_GE(reads, 3 * (ticks - 1));
  EXPECT_LE(reads, 3 * (ticks + 1));
}

TEST_F(Refresh, AnotherWindowInFrontIsPushedBack) {
  wt::Device(L"ac online");
  Lock();
  ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == lock_.window; }, wt::kStepMs));
  lt::Peer* peer = lt::StartPeer();
  HWND intruder = lt::PeerWindow(peer);
  SetWindowPos(intruder, HWND_TOPMOST, 0, 0, 100, 100, SWP_SHOWWINDOW);
  ASSERT_TRUE(wt::WaitFor(
      [&] {
        SetForegroundWindow(intruder);
        return GetForegroundWindow() == intruder;
      },
      3000));
  EXPECT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == lock_.window; }, 3000));
  lt::StopPeer(peer);
}

TEST_F(Refresh, DisplayIsOnAfterAnUnlockWhileDark) {
  wt::Device(L"ac offline");
  wt::SetSetting(L"TimeOut", 1);
  Lock();
  ASSERT_TRUE(wt::WaitFor([] { return DisplayOff(); }, wt::kProcessMs));
  PostMessageW(lock_.window, WM_CLOSE, 0, 0);
  lt::ExpectCleanEnd(lock_.process, nullptr);
  CloseHandle(lock_.process);
  lock_ = lt::Lock();
}

}  // namespace

namespace {

// The battery text as the painter gets it, from the probe's packed bytes.
std::string BatteryText(HWND window) {
  LONG_PTR packed = lt::Probe(window, kProbeBatteryText);
  std::string text;
  for (int i = 0; i < 8; ++i) {
    char c = static_cast<char>((static_cast<unsigned long long>(packed) >> (8 * i)) & 0xFF);
    if (c == 0) break;
    text += c;
  }
  return text;
}

// The same lock screen, on external power so that it never goes dark.
class RefreshShown : public Refresh {
 protected:
  void SetUp() override {
    Refresh::SetUp();
    wt::Device(L"ac online");
  }
};

TEST_F(RefreshShown, BatteryTextForThePainter) {
  wt::Device(L"battery unknown");
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  EXPECT_EQ(BatteryText(lock_.window), "B[100%]");  // until a real reading
  wt::Device(L"battery 5");
  EXPECT_TRUE(wt::WaitFor([&] { return BatteryText(lock_.window) == "B[  5%]"; }, wt::kStepMs))
      << BatteryText(lock_.window);
  wt::Device(L"battery 85");
  EXPECT_TRUE(wt::WaitFor([&] { return BatteryText(lock_.window) == "B[ 85%]"; }, wt::kStepMs))
      << BatteryText(lock_.window);
}

TEST_F(RefreshShown, ARaisedSmsCountRepaints) {
  // Any paint would do for a count of paints: the text drawn is read back.
  wt::Device(L"battery 80");
  wt::Device(L"sms 0");
  lock_ = pt_face::StartFaceTraced();
  ASSERT_NE(lock_.window, nullptr);
  const std::wstring& log = lock_.traceFile;
  ASSERT_TRUE(wt::WaitFor([&] { return wt::FileHas(log, "Unread SMS: 0"); }, wt::kStepMs));
  ASSERT_FALSE(wt::FileHas(log, "Unread SMS: 4"));
  wt::Device(L"sms 4");
  EXPECT_TRUE(wt::WaitFor([&] { return wt::FileHas(log, "Unread SMS: 4"); }, wt::kStepMs));
}

}  // namespace
