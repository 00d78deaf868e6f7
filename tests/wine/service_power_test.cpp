// The armed lock service and the power manager's broadcasts, sent with the
// device tool: which ones lock, which do not, which end the service, and
// what happens while a lock screen shows and after it is gone. And the
// PC's own power events: the messages Windows sends to the service's
// top-level windows (a suspend, a resume, a power-status change, the
// display going off or on) lock or do not, a suspend is answered only once
// the lock window has painted, and a showing lock screen hears them too.
//
// A broadcast that must NOT lock is followed by the stop event: the power
// queue comes first in the service's wait, so the record is handled before
// the stop, and the service can only end through its armed wait. Had the
// record locked, a lock screen would have been counted (or the service,
// waiting for it, would not end). The same holds for the PC's notices.
#include <gtest/gtest.h>

#include <string>

#include "platform/device_state.h"
#include "platform/power.h"
#include "service/core/power_notice.h"
#include "shared/signals.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

class ServicePower : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    svc::ArmedSettings();
  }
  void TearDown() override {
    svc::Release(&service_);
    wt::ReleaseStandInLock(&shown_);
    wt::SuiteTest::TearDown();
  }
  void StartArmed() {
    ASSERT_TRUE(svc::Start(&service_));
    ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
    ASSERT_EQ(svc::LockStarts(&service_), 0);
  }
  // Armed, and its power window made (a moment after its first pass began).
  void StartArmedWithWindow() {
    StartArmed();
    ASSERT_TRUE(wt::WaitFor([&] { return svc::SendToWindows(service_, WM_NULL, 0, 0, 1000) >= 1; }, wt::kProcessMs));
  }
  // Stops the service through its armed wait; its exit code, -1 if it
  // did not end.
  int StopThroughArmedWait() {
    if (!svc::SetNamed(kServiceUnloadEventName)) return -1;
    return wt::WaitExit(service_.process, wt::kProcessMs);
  }
  // Stands for a lock screen that shows.
  void HoldMarker() {
    shown_ = wt::HoldStandInLock();
    ASSERT_NE(shown_.marker, nullptr);
    ASSERT_NE(shown_.window, nullptr);
  }
  void ReleaseMarker() { wt::ReleaseStandInLock(&shown_); }
  svc::Service service_;
  wt::StandInLock shown_;
};

class ServiceLockingBroadcast : public ServicePower, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(ServiceLockingBroadcast, Locks) {
  StartArmed();
  ASSERT_EQ(wt::Device(GetParam()), 0);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  EXPECT_EQ(svc::LockStarts(&service_), 1);
  EXPECT_EQ(WaitForSingleObject(service_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

INSTANTIATE_TEST_SUITE_P(Each, ServiceLockingBroadcast,
                         ::testing::Values(L"power suspend", L"power off", L"power idle", L"power transition",
                                           L"power raw 1 0", L"power raw 0 00200000"));

class ServiceQuietBroadcast : public ServicePower, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(ServiceQuietBroadcast, DoesNotLock) {
  StartArmed();
  ASSERT_EQ(wt::Device(GetParam()), 0);
  EXPECT_EQ(StopThroughArmedWait(), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
}

// Power-on, on together with off (on is tested first), resume, a status
// change, and a record with no flags at all.
INSTANTIATE_TEST_SUITE_P(Each, ServiceQuietBroadcast,
                         ::testing::Values(L"power on", L"power raw 0 00030000", L"power raw 1 00030000",
                                           L"power resume", L"power raw 4 0", L"power raw 0 0"));

class ServiceEndingBroadcast : public ServicePower, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(ServiceEndingBroadcast, EndsWithoutALock) {
  StartArmed();
  ASSERT_EQ(wt::Device(GetParam()), 0);
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
  EXPECT_FALSE(wt::EventExists(kActivateEventName));
}

INSTANTIATE_TEST_SUITE_P(Each, ServiceEndingBroadcast,
                         ::testing::Values(L"power critical", L"power reset", L"power raw 0 00040000"));

TEST_F(ServicePower, ActivateRequestLocks) {
  StartArmed();
  ASSERT_TRUE(svc::SetNamed(kActivateEventName));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  // The request was consumed.
  EXPECT_TRUE(wt::WaitFor([] { return !wt::EventSignalled(kActivateEventName); }, wt::kStepMs));
}

TEST_F(ServicePower, NoSecondLockWhileALockScreenShows) {
  StartArmed();
  HoldMarker();
  ASSERT_EQ(wt::Device(L"power suspend"), 0);
  ASSERT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  // The lock screen started now ends at once (the marker is taken); the
  // service must still see one showing and drop this power-off.
  ASSERT_EQ(wt::Device(L"power off"), 0);
  // An activate request while a lock screen shows only re-arms; it is
  // served after the records that came before it.
  ASSERT_TRUE(svc::SetNamed(kActivateEventName));
  ASSERT_TRUE(wt::WaitFor([] { return !wt::EventSignalled(kActivateEventName); }, wt::kProcessMs));
  EXPECT_EQ(StopThroughArmedWait(), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 1);
}

TEST_F(ServicePower, PowerOffRightAfterTheLockScreenEndsLocksAgain) {
  StartArmed();
  HoldMarker();
  ASSERT_EQ(wt::Device(L"power suspend"), 0);
  ASSERT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  ASSERT_EQ(wt::Device(L"power off"), 0);  // dropped: a lock screen shows
  // The started lock screen must have seen the marker before it goes, or
  // it would become the showing lock screen itself.
  ASSERT_TRUE(svc::WaitLastStartedEnded(&service_, wt::kProcessMs));
  ReleaseMarker();
  // At once, before the service has looked at the marker again: the
  // record must wait for the armed pass, not be lost or dropped.
  ASSERT_EQ(wt::Device(L"power off"), 0);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 2, wt::kProcessMs));
}

TEST_F(ServicePower, StartUpLockOnlyOnTheFirstPass) {
  wt::SetSetting(L"ActivateAtStartup", 1);
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  // The start-up lock ends in order (its one button; a kill would be a
  // death, and a dead lock screen is started again).
  DWORD pid = svc::WaitNewLockWindow(0, wt::kProcessMs);
  ASSERT_NE(pid, 0u);
  ASSERT_TRUE(wt::WaitFor(
      [pid] {
        DWORD owner = 0;
        return DeviceReadDword(L"GameInputOwner", &owner) && owner == pid;
      },
      wt::kProcessMs));
  wt::Tap(VK_F1);
  ASSERT_TRUE(svc::WaitLastStartedEnded(&service_, wt::kProcessMs));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  EXPECT_EQ(StopThroughArmedWait(), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 1);
}

// Occupies every queue slot of the power bus, so that the service cannot
// make its power queue.
class ServiceWithoutPowerQueue : public ServicePower {
 protected:
  void FillBus() {
    MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
    for (int i = 0; i < 64; ++i) {
      HANDLE q = CreateMsgQueue(nullptr, &options);
      if (q == nullptr) break;
      queues_[count_++] = q;
      RequestPowerNotifications(q, POWER_NOTIFY_ALL);
    }
    ASSERT_GT(count_, 0);
    ASSERT_LT(count_, 64);
  }
  void FreeBus() {
    for (int i = 0; i < count_; ++i) CloseMsgQueue(queues_[i]);
    count_ = 0;
  }
  void TearDown() override {
    FreeBus();
    ServicePower::TearDown();
  }
  HANDLE queues_[64] = {};
  int count_ = 0;
};

TEST_F(ServiceWithoutPowerQueue, StillServesItsEventsWithoutSpinning) {
  FillBus();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(wt::WaitFor([] { return wt::EventExists(kIdleEventName); }, wt::kProcessMs));
  // A wait that failed on every cycle would burn the CPU; a blocked one
  // uses next to nothing. The bound is far from both.
  double before = wt::HostCpuMs("Hushpane.exe");
  ASSERT_GE(before, 0);
  Sleep(2000);  // a measuring span, not a wait for a condition
  EXPECT_LT(wt::HostCpuMs("Hushpane.exe") - before, 500.0);
  ASSERT_TRUE(svc::SetNamed(kActivateEventName));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
}

TEST_F(ServiceWithoutPowerQueue, StopStillEndsIt) {
  FillBus();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(wt::WaitFor([] { return wt::EventExists(kIdleEventName); }, wt::kProcessMs));
  EXPECT_EQ(StopThroughArmedWait(), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
}

TEST_F(ServiceWithoutPowerQueue, MakesTheQueueOnceItCan) {
  FillBus();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(wt::WaitFor([] { return wt::EventExists(kIdleEventName); }, wt::kProcessMs));
  FreeBus();
  ASSERT_TRUE(svc::WaitListening(15000));
  ASSERT_EQ(wt::Device(L"power suspend"), 0);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
}

// Longer than the service's own hold of a suspend (2 s), so that an answer
// that never comes is told from a slow one.
const DWORD kAnswerMs = 10000;

struct Notice {
  const char* name;  // also the test's name
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool locks;
};

const UINT kDisplay = service::kDisplayNoticeMessage;
const Notice kSuspend = {"Suspend", WM_POWERBROADCAST, PBT_APMSUSPEND, 0, true};
const Notice kResume = {"Resume", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, false};
const Notice kNotices[] = {
    kSuspend,
    kResume,
    {"ResumeByTheUser", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, false},
    {"PowerStatusChange", WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, false},
    {"ConsoleDisplayOff", kDisplay, service::kConsoleDisplayState, 0, true},
    {"ConsoleDisplayOn", kDisplay, service::kConsoleDisplayState, 1, false},
    {"ConsoleDisplayDimmed", kDisplay, service::kConsoleDisplayState, 2, false},
    {"MonitorPowerOff", kDisplay, service::kMonitorPowerOn, 0, true},
    {"MonitorPowerOn", kDisplay, service::kMonitorPowerOn, 1, false},
};

int SendNotice(const svc::Service& service, const Notice& n) {
  return svc::SendToWindows(service, n.message, n.wParam, n.lParam, kAnswerMs);
}

class ServicePowerNotice : public ServicePower, public ::testing::WithParamInterface<Notice> {};

TEST_P(ServicePowerNotice, LocksOrNot) {
  const Notice& n = GetParam();
  StartArmedWithWindow();
  ASSERT_GE(SendNotice(service_, n), 1) << "no top-level window of the service answered";
  if (n.locks) {
    EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  } else {
    EXPECT_EQ(StopThroughArmedWait(), 0);
    EXPECT_EQ(svc::LockStarts(&service_), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Each, ServicePowerNotice, ::testing::ValuesIn(kNotices),
                         [](const ::testing::TestParamInfo<Notice>& info) { return std::string(info.param.name); });

// Windows suspends as soon as the suspend message is answered: by then the
// lock window must already show its face, or the desktop flashes on resume.
TEST_F(ServicePower, SuspendIsAnsweredOnceTheLockWindowHasPainted) {
  StartArmedWithWindow();
  ASSERT_GE(SendNotice(service_, kSuspend), 1);
  HWND lock = FindWindowW(kLockWindowClass, kLockWindowTitle);
  ASSERT_NE(lock, nullptr);
  EXPECT_TRUE(IsWindowVisible(lock));
  EXPECT_GE(lt::Probe(lock, kProbePaints), 1);
}

// The records travel on the power bus: a lock screen that went dark on
// battery wakes on the PC's resume.
TEST_F(ServicePower, AShowingLockScreenHearsTheResume) {
  wt::SetSetting(L"TimeOut", 1);
  ASSERT_EQ(wt::Device(L"ac offline"), 0);
  ASSERT_EQ(wt::Device(L"display on"), 0);
  StartArmedWithWindow();
  ASSERT_GE(SendNotice(service_, kSuspend), 1);
  HWND lock = FindWindowW(kLockWindowClass, kLockWindowTitle);
  ASSERT_NE(lock, nullptr);
  ASSERT_TRUE(wt::WaitFor([&] { return lt::Probe(lock, kProbeRefreshRunning) == 0; }, wt::kProcessMs));
  ASSERT_GE(SendNotice(service_, kResume), 1);
  EXPECT_TRUE(lt::WaitProbe(lock, kProbeRefreshRunning, 1, wt::kStepMs));
}

}  // namespace
