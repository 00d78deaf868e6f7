// The lock service's start-up: AutoRun off, the start-up lock with and
// without "installed", a second start, the stop event.
#include <gtest/gtest.h>

#include <string>

#include "shared/signals.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

class ServiceStartup : public wt::SuiteTest {
 protected:
  void TearDown() override {
    svc::Release(&service_);
    wt::SuiteTest::TearDown();
  }
  svc::Service service_;
};

TEST_F(ServiceStartup, AutoRunOffLocksOnceAndEnds) {
  wt::SetSetting(L"Button_1", 0x70);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_EQ(wt::WaitExit(service_.process, 20000), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 1);
}

TEST_F(ServiceStartup, CreatesItsFourEvents) {
  svc::ArmedSettings();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  EXPECT_TRUE(wt::EventExists(kActivateEventName));
  EXPECT_TRUE(wt::EventExists(kServiceUnloadEventName));
  EXPECT_TRUE(wt::EventExists(kEndEventName));
  EXPECT_TRUE(wt::EventExists(kIdleEventName));
  EXPECT_FALSE(wt::EventSignalled(kEndEventName));
  EXPECT_EQ(svc::LockStarts(&service_), 0);
}

TEST_F(ServiceStartup, StopEventEndsWithoutALock) {
  svc::ArmedSettings();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  ASSERT_TRUE(svc::SetNamed(kServiceUnloadEventName));
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
  // Its events went with it.
  EXPECT_FALSE(wt::EventExists(kActivateEventName));
  EXPECT_FALSE(wt::EventExists(kServiceUnloadEventName));
}

TEST_F(ServiceStartup, StopWinsOverActivateSetAtTheSameMoment) {
  svc::ArmedSettings();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  // With its main thread held, both events are signalled before its wait
  // can see either; the lower index (stop) must decide.
  ASSERT_NE(SuspendThread(service_.thread), static_cast<DWORD>(-1));
  EXPECT_TRUE(svc::SetNamed(kActivateEventName));
  EXPECT_TRUE(svc::SetNamed(kServiceUnloadEventName));
  ResumeThread(service_.thread);
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
}

TEST_F(ServiceStartup, SecondStartMakesTheResidentOneLock) {
  svc::ArmedSettings();
  ASSERT_TRUE(svc::Start(&service_));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  EXPECT_EQ(svc::LockStarts(&service_), 0);
  HANDLE second = wt::Start(L"Hushpane.exe");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(wt::WaitExit(second, wt::kProcessMs), 0);
  CloseHandle(second);
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  // The resident one is still there.
  EXPECT_EQ(WaitForSingleObject(service_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(ServiceStartup, PendingStopAloneEndsANewStart) {
  svc::ArmedSettings();
  HANDLE stop = SignalCreate(kServiceUnloadEventName, nullptr);
  ASSERT_NE(stop, nullptr);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
  // It did not leave its activate event behind.
  EXPECT_FALSE(wt::EventExists(kActivateEventName));
  CloseHandle(stop);
}

TEST_F(ServiceStartup, ActivateAtStartupLocksOnTheFirstPass) {
  svc::ArmedSettings();
  wt::SetSetting(L"ActivateAtStartup", 1);
  ASSERT_TRUE(svc::Start(&service_));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  EXPECT_EQ(WaitForSingleObject(service_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(ServiceStartup, ActivateAtStartupSkippedWhenInstalled) {
  svc::ArmedSettings();
  wt::SetSetting(L"ActivateAtStartup", 1);
  ASSERT_TRUE(svc::Start(&service_, L"/load installed"));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  // The stop event is served only by the armed wait: reaching it without a
  // start proves that no start-up lock came first.
  ASSERT_TRUE(svc::SetNamed(kServiceUnloadEventName));
  EXPECT_EQ(wt::WaitExit(service_.process, wt::kProcessMs), 0);
  EXPECT_EQ(svc::LockStarts(&service_), 0);
}

TEST_F(ServiceStartup, InstalledInTheProgramPathDoesNotCount) {
  svc::ArmedSettings();
  wt::SetSetting(L"ActivateAtStartup", 1);
  // A copy of the service in a folder whose name holds the word; the lock
  // screen it starts is still the installed one.
  CreateDirectoryW(L"C:\\installed", nullptr);
  const std::wstring copy = L"C:\\installed\\Hushpane.exe";
  ASSERT_TRUE(CopyFileW(wt::InstalledPath(L"Hushpane.exe").c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(svc::StartAt(&service_, copy, L"/load"));
  EXPECT_TRUE(svc::WaitLockStarts(&service_, 1, wt::kProcessMs));
  svc::Release(&service_);
  DeleteFileW(copy.c_str());
}

}  // namespace
