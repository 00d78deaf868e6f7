// The lock service with the real lock screen: a power-off while it shows
// starts no second one, an unlock re-arms the service, and the next
// power-off locks again. (A killed lock screen: fail_closed_test.cpp.)
#include <gtest/gtest.h>

#include "shared/signals.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

const WORD kB1 = VK_F1;
const WORD kB2 = 'K';

class ServiceWithLockScreen : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    svc::ArmedWithButtons(kB1, kB2);
  }
  void TearDown() override {
    svc::Release(&service_);
    wt::SuiteTest::TearDown();
  }
  void StartArmed() {
    ASSERT_TRUE(svc::Start(&service_));
    ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  }
  // Locks with a suspend broadcast and waits for the lock window.
  void LockAndShow(int starts) {
    ASSERT_EQ(wt::Device(L"power suspend"), 0);
    ASSERT_TRUE(svc::WaitLockStarts(&service_, starts, wt::kProcessMs));
    HWND window = wt::WaitWindow(L"Hushpane", L"Corvane", wt::kProcessMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(wt::EventExists(kLockMarkerEventName));
    // Keys pressed before the lock screen has taken input would go to
    // whatever has the focus: wait until this lock screen holds it.
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ASSERT_TRUE(wt::WaitFor(
        [pid] {
          DWORD owner = 0;
          return lt::DeviceDword(L"GameInputOwner", &owner) && owner == pid;
        },
        wt::kProcessMs));
  }
  void Unlock() {
    wt::Key(kB1, false);
    wt::Key(kB2, false);
    ASSERT_TRUE(svc::WaitLastStartedEnded(&service_, wt::kProcessMs));
    wt::Key(kB1, true);
    wt::Key(kB2, true);
  }
  svc::Service service_;
};

TEST_F(ServiceWithLockScreen, PowerOffWhileShowingStartsNoSecond) {
  StartArmed();
  LockAndShow(1);
  ASSERT_EQ(wt::Device(L"power off"), 0);
  // Served after the record before it: the record is dropped, then the
  // request re-arms without a lock.
  ASSERT_TRUE(svc::SetNamed(kActivateEventName));
  ASSERT_TRUE(wt::WaitFor([] { return !wt::EventSignalled(kActivateEventName); }, wt::kProcessMs));
  ASSERT_TRUE(svc::SetNamed(kServiceUnloadEventName));
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 1);
}

TEST_F(ServiceWithLockScreen, UnlockThenPowerOffLocksAgain) {
  StartArmed();
  LockAndShow(1);
  Unlock();
  // Straight after the unlock: no power-off may be lost in between.
  ASSERT_EQ(wt::Device(L"power off"), 0);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 2, wt::kProcessMs));
  EXPECT_NE(wt::WaitWindow(L"Hushpane", L"Corvane", wt::kProcessMs), nullptr);
}

TEST_F(ServiceWithLockScreen, LocksAgainAndAgain) {
  StartArmed();
  for (int i = 1; i <= 3; ++i) {
    LockAndShow(i);
    Unlock();
  }
  EXPECT_EQ(svc::LockStarts(&service_), 3);
}

}  // namespace
