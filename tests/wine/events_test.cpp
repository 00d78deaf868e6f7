// Named events across real processes.
#include <gtest/gtest.h>

#include <string>

#include "platform/events.h"
#include "shared/signals.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/support.h"

namespace {

const wchar_t kTestEvent[] = L"Ombrevale - Test_Event";

class Events : public wt::SuiteTest {};

TEST_F(Events, ExistsExactlyWhileAProcessHoldsIt) {
  EXPECT_FALSE(SignalExists(kTestEvent));
  HANDLE holder = wt::StartSelf(L"--helper hold \"Ombrevale - Test_Event\"");
  ASSERT_NE(holder, nullptr);
  EXPECT_TRUE(wt::WaitFor([] { return SignalExists(kTestEvent) != FALSE; }, wt::kStepMs));
  // Killing its only holder makes the name vanish.
  TerminateProcess(holder, 1);
  WaitForSingleObject(holder, wt::kStepMs);
  CloseHandle(holder);
  EXPECT_TRUE(wt::WaitFor([] { return SignalExists(kTestEvent) == FALSE; }, wt::kStepMs));
}

TEST_F(Events, SecondCreateGetsTheExistingEvent) {
  BOOL existed = TRUE;
  HANDLE first = SignalCreate(kTestEvent, &existed);
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(existed);
  HANDLE second = SignalCreate(kTestEvent, &existed);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(existed);
  // Manual reset, not signalled, one event behind both handles.
  EXPECT_EQ(WaitForSingleObject(second, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SignalSet(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);  // stays set
  SignalReset(second);
  EXPECT_EQ(WaitForSingleObject(first, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(second);
  CloseHandle(first);
}

TEST_F(Events, SetInOneProcessWakesAWaiterInAnother) {
  BOOL existed = FALSE;
  HANDLE ev = SignalCreate(kTestEvent, &existed);
  ASSERT_NE(ev, nullptr);
  HANDLE waiter = wt::StartSelf(L"--helper wait \"Ombrevale - Test_Event\" 10000");
  ASSERT_NE(waiter, nullptr);
  // The waiter has not been woken yet: it is still running.
  EXPECT_EQ(WaitForSingleObject(waiter, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  SignalSet(ev);
  EXPECT_EQ(wt::WaitExit(waiter, wt::kStepMs), 0);
  CloseHandle(waiter);
  CloseHandle(ev);
}

TEST_F(Events, EventModifyCodes) {
  HANDLE ev = SignalCreate(kTestEvent, nullptr);
  ASSERT_NE(ev, nullptr);
  EXPECT_TRUE(EventModify(ev, EVENT_SET));
  EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(EventModify(ev, EVENT_RESET));
  EXPECT_EQ(WaitForSingleObject(ev, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(EventModify(ev, EVENT_PULSE));  // no waiter: stays reset
  EXPECT_EQ(WaitForSingleObject(ev, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(EventModify(ev, 7));
  CloseHandle(ev);
}

// The five events as the service and the lock screen make them: every
// interactive user may open and set them whatever the elevation of their
// maker, so an unelevated Tollwick reaches an elevated service and back.
TEST_F(Events, TheFiveEventsLetEveryInteractiveUserIn) {
  svc::ArmedSettings();
  svc::Service service;
  ASSERT_TRUE(svc::Start(&service));
  ASSERT_TRUE(wt::WaitFor([] { return wt::EventExists(kIdleEventName); }, wt::kProcessMs));
  ASSERT_TRUE(svc::SetNamed(kActivateEventName));  // the service starts its lock screen
  ASSERT_TRUE(wt::WaitFor([] { return wt::EventExists(kLockMarkerEventName); }, wt::kProcessMs));
  const wchar_t* names[] = {kActivateEventName, kServiceUnloadEventName, kLockMarkerEventName, kEndEventName,
                            kIdleEventName};
  for (const wchar_t* name : names) {
    HANDLE event = OpenEventW(READ_CONTROL, FALSE, name);
    ASSERT_NE(event, nullptr) << std::string(name, name + wcslen(name));
    EXPECT_EQ(wt::AllowedTo(event, SE_KERNEL_OBJECT, WinInteractiveSid) & EVENT_ALL_ACCESS,
              static_cast<ACCESS_MASK>(EVENT_ALL_ACCESS))
        << std::string(name, name + wcslen(name));
    CloseHandle(event);
  }
  svc::Release(&service);
}

TEST_F(Events, LaunchPathsComeFromTheShellFolders) {
  wchar_t path[128];
  ASSERT_TRUE(ComposeLaunchPath(kLaunchLockScreen, path));
  EXPECT_EQ(std::wstring(path), wt::InstalledPath(L"Corvane.exe"));
  ASSERT_TRUE(ComposeLaunchPath(kLaunchStartupShortcut, path));
  EXPECT_NE(std::wstring(path).find(L"\\OV Hushpane.lnk"), std::wstring::npos);
  ASSERT_TRUE(ComposeLaunchPath(kLaunchInstalledShortcut, path));
  EXPECT_NE(std::wstring(path).find(L"\\Ombrevale\\Hushpane\\OV Hushpane.lnk"), std::wstring::npos);
}

}  // namespace
