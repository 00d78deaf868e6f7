// The PC's own power events: the messages Windows sends to the service's
// top-level windows (a suspend, a resume, a power-status change, the display
// going off or on) lock or do not, a suspend is answered only once the lock
// window has painted, and a showing lock screen hears them too.
//
// A notice that must NOT lock is followed by the stop event, as in the
// broadcast tests: the record it made comes first in the service's wait.
#include <gtest/gtest.h>

#include <string>

#include "service/core/power_notice.h"
#include "shared/signals.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

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

class ServicePowerWindow : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    svc::ArmedSettings();
  }
  void TearDown() override {
    svc::Release(&service_);
    wt::SuiteTest::TearDown();
  }
  void StartArmed() {
    ASSERT_TRUE(svc::Start(&service_));
    ASSERT_TRUE(svc::WaitListening(10000));
    // Its window comes a moment after its first pass began.
    ASSERT_TRUE(wt::WaitFor([&] { return svc::SendToWindows(service_, WM_NULL, 0, 0, 1000) >= 1; }, 10000));
  }
  int Send(const Notice& n) { return svc::SendToWindows(service_, n.message, n.wParam, n.lParam, kAnswerMs); }
  svc::Service service_;
};

class ServicePowerNotice : public ServicePowerWindow, public ::testing::WithParamInterface<Notice> {};

TEST_P(ServicePowerNotice, LocksOrNot) {
  const Notice& n = GetParam();
  StartArmed();
  ASSERT_GE(Send(n), 1) << "no top-level window of the service answered";
  if (n.locks) {
    EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, 10000));
  } else {
    ASSERT_TRUE(svc::SetNamed(kServiceUnloadEventName));
    EXPECT_EQ(wt::WaitExit(service_.process, 10000), 0);
    EXPECT_EQ(svc::LockStarts(&service_), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Each, ServicePowerNotice, ::testing::ValuesIn(kNotices),
                         [](const ::testing::TestParamInfo<Notice>& info) { return std::string(info.param.name); });

// Windows suspends as soon as the suspend message is answered: by then the
// lock window must already show its face, or the desktop flashes on resume.
TEST_F(ServicePowerWindow, SuspendIsAnsweredOnceTheLockWindowHasPainted) {
  StartArmed();
  ASSERT_GE(Send(kSuspend), 1);
  HWND lock = FindWindowW(L"Hushpane", L"Corvane");
  ASSERT_NE(lock, nullptr);
  EXPECT_TRUE(IsWindowVisible(lock));
  EXPECT_GE(lt::Probe(lock, lt::kPaints), 1);
}

// The records travel on the power bus: a lock screen that went dark on
// battery wakes on the PC's resume.
TEST_F(ServicePowerWindow, AShowingLockScreenHearsTheResume) {
  wt::SetSetting(L"TimeOut", 1);
  ASSERT_EQ(wt::Device(L"ac offline"), 0);
  ASSERT_EQ(wt::Device(L"display on"), 0);
  StartArmed();
  ASSERT_GE(Send(kSuspend), 1);
  HWND lock = FindWindowW(L"Hushpane", L"Corvane");
  ASSERT_NE(lock, nullptr);
  ASSERT_TRUE(wt::WaitFor([&] { return lt::Probe(lock, lt::kRefreshRunning) == 0; }, 10000));
  ASSERT_GE(Send(kResume), 1);
  EXPECT_TRUE(lt::WaitProbe(lock, lt::kRefreshRunning, 1, 5000));
}

}  // namespace
