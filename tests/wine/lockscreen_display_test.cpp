// "Display off" and "display on" on a PC: without a display state of the
// device tool the lock screen switches the PC's monitors (SC_MONITORPOWER
// through its own window) and records nothing; with one it records, as on
// the device, and leaves the monitors alone. A key or the mouse wakes it.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

struct Case {
  const char* name;
  bool deviceDisplay;  // the device tool has set a display state
  bool byMouse;        // woken by a mouse move, else by a key
  bool monitors;       // SC_MONITORPOWER off when dark, on when woken; else the recorded state
};

const Case kCases[] = {
    {"PcMonitorsKey", false, false, true},
    {"PcMonitorsMouse", false, true, true},
    {"DeviceDisplayKey", true, false, false},
};

class LockDisplay : public lt::LockTest, public ::testing::WithParamInterface<Case> {};

TEST_P(LockDisplay, GoesDarkAndWakes) {
  const Case& c = GetParam();
  wt::SetSetting(L"Button_1", VK_F1);
  wt::SetSetting(L"TimeOut", 1);
  ASSERT_EQ(wt::Device(L"ac offline"), 0);
  if (c.deviceDisplay) ASSERT_EQ(wt::Device(L"display on"), 0);
  // Well inside the screen, so that the move below stays on it.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
  lock_ = lt::StartLock();
  ASSERT_NE(lock_.window, nullptr);
  ASSERT_TRUE(wt::WaitFor([&] { return lt::Probe(lock_.window, kProbeRefreshRunning) == 0; }, wt::kProcessMs));
  auto offs = [&] { return lt::Probe(lock_.window, kProbeMonitorPower) & 0xFFFF; };
  auto ons = [&] { return lt::Probe(lock_.window, kProbeMonitorPower) >> 16; };
  EXPECT_EQ(offs(), c.monitors ? 1 : 0);
  EXPECT_EQ(ons(), 0);
  EXPECT_EQ(lt::DisplayOn(), c.monitors);  // nothing recorded for the PC's monitors

  if (c.byMouse) {
    INPUT in;
    ZeroMemory(&in, sizeof(in));
    in.type = INPUT_MOUSE;
    in.mi.dx = 5;
    in.mi.dy = 5;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof(in));
  } else {
    wt::Tap(VK_F5);
  }
  EXPECT_TRUE(wt::WaitFor([&] { return lt::Probe(lock_.window, kProbeRefreshRunning) == 1; }, wt::kStepMs));
  if (c.monitors) EXPECT_TRUE(wt::WaitFor([&] { return ons() == 1; }, wt::kStepMs)) << "SC_MONITORPOWER on: " << ons();
  EXPECT_EQ(ons(), c.monitors ? 1 : 0);
  EXPECT_TRUE(lt::DisplayOn());
}

INSTANTIATE_TEST_SUITE_P(Each, LockDisplay, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
