// The AC-power idle watcher with the simulated device: on AC and idle it
// locks after one 10-second window when AcActivation is 0; on battery it
// never locks; a watcher that ended on battery starts again once AC is back.
#include <gtest/gtest.h>

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
  EXPECT_TRUE(wt::WaitFor([] { return !wt::EventSignalled(kIdleEventName); }, wt::kStepMs));
}

TEST_F(ServiceIdle, BackupPowerCountsAsAc) {
  ASSERT_EQ(wt::Device(L"ac backup"), 0);
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

// Values of the simulated device that the device tool did not set (left
// in a user's registry by anything else) are not heeded: the PC's own power
// status (AC under Wine) and idle time count, and the idle lock comes.
struct Stray {
  const wchar_t* name;
  DWORD value;
  const wchar_t* name2;
  DWORD value2;
};

class ServiceIdleStray : public ServiceIdle, public ::testing::WithParamInterface<Stray> {};

TEST_P(ServiceIdleStray, DoesNotStopTheIdleLock) {
  const wchar_t kDevice[] = L"Software\\Ombrevale\\Device";
  wt::SetDword(HKEY_CURRENT_USER, kDevice, GetParam().name, GetParam().value);
  if (GetParam().name2 != nullptr) wt::SetDword(HKEY_CURRENT_USER, kDevice, GetParam().name2, GetParam().value2);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 25000));
}

// On battery; an idle counter that reads "not supported".
INSTANTIATE_TEST_SUITE_P(Each, ServiceIdleStray,
                         ::testing::Values(Stray{L"ACLineStatus", 0, nullptr, 0},
                                           Stray{L"IdleMode", 3, L"IdleBase", 0xFFFFFFFFu}));

TEST_F(ServiceIdle, DisabledNeverLocks) {
  wt::SetSetting(L"EnableOnAC", 0);
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  ASSERT_EQ(wt::Device(L"idle idle"), 0);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_FALSE(svc::WaitLockStarts(&service_, 1, 13000));
}

}  // namespace
