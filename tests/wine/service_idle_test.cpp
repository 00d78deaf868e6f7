// The AC-power idle watcher with the simulated device: on AC and idle it
// locks after one 10-second window when AcActivation is 0; on battery it
// never locks; a watcher that ended on battery starts again once AC is back.
#include <gtest/gtest.h>

#include "platform/device_state.h"
#include "shared/signals.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

class ServiceIdle : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    svc::ArmedSettings();
    wt::SetSetting(L"EnableOnAC", 1);
    wt::SetSetting(L"AcActivation", 0);
  }
  void TearDown() override {
    svc::Release(&service_);
    wt::SuiteTest::TearDown();
  }
  svc::Service service_;
};

TEST_F(ServiceIdle, IdleOnAcLocksAfterOneWindow) {
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  ASSERT_EQ(wt::Device(L"idle idle"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 25000));
  // The service took the idle event back.
  EXPECT_TRUE(wt::WaitFor([] { return !wt::EventSignalled(kIdleEventName); }, 5000));
}

TEST_F(ServiceIdle, BackupPowerCountsAsAc) {
  ASSERT_TRUE(DeviceWriteDword(L"ACLineStatus", 2));
  ASSERT_EQ(wt::Device(L"idle idle"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 25000));
}

TEST_F(ServiceIdle, UnknownAcStatusCountsAsAc) {
  ASSERT_EQ(wt::Device(L"ac unknown"), 0);
  ASSERT_EQ(wt::Device(L"idle idle"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 25000));
}

TEST_F(ServiceIdle, NoIdleTimeNoLock) {
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  ASSERT_EQ(wt::Device(L"idle unsupported"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  // Well beyond one window: the watcher ended at its start.
  EXPECT_FALSE(svc::WaitLockStarts(&service_, 1, 13000));
}

TEST_F(ServiceIdle, OnBatteryNeverLocks) {
  ASSERT_EQ(wt::Device(L"ac offline"), 0);
  ASSERT_EQ(wt::Device(L"idle idle"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_FALSE(svc::WaitLockStarts(&service_, 1, 13000));
  // Back on AC, a new watcher starts without any other event and locks.
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 30000));
}

TEST_F(ServiceIdle, AcActivationZeroLocksEvenWhenBusy) {
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  ASSERT_EQ(wt::Device(L"idle busy"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  // 0 >= 0 holds after any window.
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 25000));
}

// With AcActivation 0 every window locks, idle or busy. With one minute,
// six idle windows lock and busy ones never do (one test each: a minute
// and more apiece).
class ServiceIdleMinute : public ServiceIdle {
 protected:
  // Whether a lock came within six ten-second windows and a margin.
  bool LocksWithin(const wchar_t* idleMode) {
    wt::SetSetting(L"AcActivation", 1);
    if (wt::Device(L"ac online") != 0 || wt::Device(idleMode) != 0 || !svc::Start(&service_)) return false;
    return svc::WaitLockStarts(&service_, 1, 72000);
  }
};

TEST_F(ServiceIdleMinute, IdleDeviceLocks) { EXPECT_TRUE(LocksWithin(L"idle idle")); }
TEST_F(ServiceIdleMinute, BusyDeviceNeverLocks) { EXPECT_FALSE(LocksWithin(L"idle busy")); }

TEST_F(ServiceIdle, DisabledNeverLocks) {
  wt::SetSetting(L"EnableOnAC", 0);
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  ASSERT_EQ(wt::Device(L"idle idle"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_FALSE(svc::WaitLockStarts(&service_, 1, 13000));
}

}  // namespace
