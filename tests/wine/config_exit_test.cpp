// The configuration program's exit step against the real lock service:
// the start-up shortcut copied from a real shell link or deleted, the
// service started once or told to unload, after "Ok" and after "Cancel".
#include <gtest/gtest.h>

#include "shared/signals.h"
#include "tests/wine/support/config_support.h"
#include "tests/wine/support/shortcut_support.h"
#include "tests/wine/support/support.h"

namespace {

class ConfigExit : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    wt::RemoveShortcuts();
  }
  void TearDown() override {
    wt::CloseHandles(t_);
    wt::EndJob();
    wt::SuiteTest::TearDown();
    wt::RemoveShortcuts();
  }
  // Runs Tollwick and ends it with "Ok" (113) or "Cancel" (114), after
  // `clickAutoRun` taps on the AutoRun box.
  void RunTollwick(int command, int clickAutoRun = 0) {
    t_ = wt::StartTollwick();
    ASSERT_NE(t_.window, nullptr);
    for (int i = 0; i < clickAutoRun; ++i) wt::Click(wt::ControlOf(t_.window, 0x8805));
    ASSERT_EQ(wt::CloseTollwick(t_, command), 0);
    wt::CloseHandles(t_);
  }
  static bool ServiceResident() { return wt::EventExists(L"Ombrevale - Hushpane_Unload"); }
  wt::Tollwick t_;
};

TEST_F(ConfigExit, TheInstalledShortcutIsARealLinkToTheService) {
  ASSERT_TRUE(wt::MakeInstalledShortcut());
  EXPECT_EQ(
      _wcsicmp(wt::ShortcutTarget(wt::InstalledShortcutPath()).c_str(), wt::InstalledPath(L"Hushpane.exe").c_str()), 0);
}

// AutoRun on without a resident service: the shortcut is copied and exactly
// one service is started. Every process Tollwick starts joins the test's
// job, so the job's count of processes ever started tells how many.
TEST_F(ConfigExit, AutoRunOnCopiesTheShortcutAndStartsOneService) {
  ASSERT_TRUE(wt::MakeInstalledShortcut());
  wt::SetSetting(L"AutoRun", 1);
  ASSERT_EQ(wt::CountProcesses(L"Hushpane.exe"), 0);
  int before = wt::JobProcessesEver();
  RunTollwick(113);
  EXPECT_EQ(wt::JobProcessesEver() - before, 2);  // Tollwick and one service
  EXPECT_EQ(_wcsicmp(wt::ShortcutTarget(wt::StartupShortcutPath()).c_str(), wt::InstalledPath(L"Hushpane.exe").c_str()),
            0);
  EXPECT_TRUE(wt::WaitFor(ServiceResident, wt::kProcessMs));
  EXPECT_EQ(wt::CountProcesses(L"Hushpane.exe"), 1);

  // Again, with the service resident and a start-up shortcut present: no
  // second service, and the existing shortcut is not replaced.
  ASSERT_TRUE(wt::WriteTextFile(wt::StartupShortcutPath(), "keep"));
  before = wt::JobProcessesEver();
  RunTollwick(114);
  EXPECT_EQ(wt::JobProcessesEver() - before, 1);  // Tollwick alone
  EXPECT_EQ(wt::CountProcesses(L"Hushpane.exe"), 1);
  EXPECT_EQ(wt::ReadTextFile(wt::StartupShortcutPath()), "keep");
  EXPECT_TRUE(ServiceResident());
}

// AutoRun off: the start-up shortcut is deleted, a running service ends and
// a showing lock screen's marker is set. The service runs with AutoRun on
// in the store (with it off a service locks once and ends by itself); the
// user unticks the box and presses "Ok".
TEST_F(ConfigExit, AutoRunOffDeletesTheShortcutAndTheServiceEnds) {
  ASSERT_TRUE(wt::MakeInstalledShortcut());
  ASSERT_TRUE(wt::MakeShortcut(wt::StartupShortcutPath(), wt::InstalledPath(L"Hushpane.exe")));
  wt::SetSetting(L"AutoRun", 1);
  HANDLE service = wt::StartInJob(L"Hushpane.exe", L"/load");
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(wt::WaitFor(ServiceResident, wt::kProcessMs));
  HANDLE marker = SignalCreate(kLockMarkerEventName, nullptr);  // as a showing lock screen holds it
  ASSERT_NE(marker, nullptr);
  RunTollwick(113, 1);
  DWORD v = 1;
  EXPECT_TRUE(wt::GetSetting(L"AutoRun", &v));
  EXPECT_EQ(v, 0u);
  EXPECT_FALSE(wt::FileExists(wt::StartupShortcutPath()));
  EXPECT_TRUE(wt::FileExists(wt::InstalledShortcutPath()));
  EXPECT_EQ(WaitForSingleObject(marker, 0), WAIT_OBJECT_0);
  EXPECT_GE(wt::WaitExit(service, wt::kProcessMs), 0);
  EXPECT_TRUE(wt::WaitFor([] { return !ServiceResident(); }, wt::kStepMs));
  CloseHandle(marker);
  CloseHandle(service);
}

// "Cancel" writes nothing, but the exit step acts on the toggled box: the
// stored AutoRun stays on while the shortcut goes and the service ends.
TEST_F(ConfigExit, CancelWritesNothingButAppliesTheToggledAutoRun) {
  wt::SetSetting(L"AutoRun", 1);
  ASSERT_TRUE(wt::MakeShortcut(wt::StartupShortcutPath(), wt::InstalledPath(L"Hushpane.exe")));
  HANDLE service = wt::StartInJob(L"Hushpane.exe", L"/load");
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(wt::WaitFor(ServiceResident, wt::kProcessMs));
  RunTollwick(114, 1);
  DWORD v = 0;
  EXPECT_TRUE(wt::GetSetting(L"AutoRun", &v));
  EXPECT_EQ(v, 1u);
  EXPECT_EQ(wt::SettingNames().size(), 1u);  // nothing else was written
  EXPECT_FALSE(wt::FileExists(wt::StartupShortcutPath()));
  EXPECT_GE(wt::WaitExit(service, wt::kProcessMs), 0);
  CloseHandle(service);

  // And the other way: stored off, ticked on, "Cancel": the shortcut is
  // made and a service is started (which, reading AutoRun off from the
  // store, locks once and ends).
  wt::ClearSettings();
  ASSERT_TRUE(wt::MakeInstalledShortcut());
  ASSERT_TRUE(wt::WaitFor([] { return !ServiceResident(); }, wt::kStepMs));
  const int before = wt::JobProcessesEver();
  RunTollwick(114, 1);
  EXPECT_GE(wt::JobProcessesEver() - before, 2);  // Tollwick and the service (and its lock screen)
  EXPECT_FALSE(wt::SettingsKeyExists());
  EXPECT_TRUE(wt::FileExists(wt::StartupShortcutPath()));
}

// AutoRun on while the old service is still ending (its unload event open
// and set): the new service is started only after the old one's events are
// gone, so a service is resident afterwards.
TEST_F(ConfigExit, AutoRunOnWaitsForAnEndingService) {
  wt::SetSetting(L"AutoRun", 1);
  HANDLE old = SignalCreate(kServiceUnloadEventName, nullptr);  // the ending service's stop event
  ASSERT_NE(old, nullptr);
  SignalSet(old);
  const int before = wt::JobProcessesEver();
  t_ = wt::StartTollwick();
  ASSERT_NE(t_.window, nullptr);
  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  wt::Click(GetDlgItem(bar, 113));
  ASSERT_TRUE(wt::WaitFor([&] { return !IsWindow(t_.window); }, wt::kStepMs));
  // Still waiting: nothing started while the old service's event is there.
  EXPECT_FALSE(wt::WaitFor([&] { return wt::JobProcessesEver() - before > 1; }, 1000));
  EXPECT_EQ(WaitForSingleObject(t_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(old);  // the old service has gone
  EXPECT_EQ(wt::WaitExit(t_.process, wt::kProcessMs), 0);
  EXPECT_EQ(wt::JobProcessesEver() - before, 2);  // Tollwick and the new service
  EXPECT_TRUE(wt::WaitFor(ServiceResident, wt::kProcessMs));
  EXPECT_EQ(wt::CountProcesses(L"Hushpane.exe"), 1);
  // The new service really runs (it created its own, unset stop event).
  EXPECT_FALSE(wt::EventSignalled(L"Ombrevale - Hushpane_Unload"));
}

// The start-up shortcut's path is composed within 128 units: a Startup
// folder that makes it 127 characters long works, one that makes it 128 is
// refused and skips the shortcut alone; the service is told to unload
// either way.
class ConfigExitLongStartup : public ConfigExit {
 protected:
  static constexpr const wchar_t* kFolders =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  void SetUp() override {
    ConfigExit::SetUp();
    DWORD type = 0, size = sizeof(saved_);
    hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kFolders, L"Startup", RRF_RT_ANY | RRF_NOEXPAND, &type, saved_,
                             &size) == ERROR_SUCCESS;
    savedType_ = type;
    savedSize_ = size;
  }
  void TearDown() override {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kFolders, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
      if (hadValue_) RegSetValueExW(h, L"Startup", 0, savedType_, reinterpret_cast<const BYTE*>(saved_), savedSize_);
      else RegDeleteValueW(h, L"Startup");
      RegCloseKey(h);
    }
    ConfigExit::TearDown();
  }
  // Points the Startup folder at C:\ and x's, so that the start-up
  // shortcut's path is `length` characters long; returns that path.
  std::wstring RedirectStartup(size_t length) {
    const std::wstring tail = L"\\OV Hushpane.lnk";
    std::wstring folder = L"C:\\" + std::wstring(length - tail.size() - 3, L'x');
    CreateDirectoryW(folder.c_str(), nullptr);
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) ==
        ERROR_SUCCESS) {
      RegSetValueExW(h, L"Startup", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
      RegCloseKey(h);
    }
    std::wstring path = folder + tail;
    EXPECT_EQ(path.size(), length);
    EXPECT_EQ(wt::StartupShortcutPath(), path);
    return path;
  }
  bool hadValue_ = false;
  DWORD savedType_ = 0, savedSize_ = 0;
  wchar_t saved_[MAX_PATH] = L"";
};

TEST_F(ConfigExitLongStartup, OneHundredTwentySevenIsAcceptedAndOneMoreIsRefused) {
  struct Case {
    size_t length;
    bool deleted;
  } cases[] = {{127, true}, {128, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::wstring shortcut = RedirectStartup(c.length);
    ASSERT_TRUE(wt::WriteTextFile(shortcut, "old"));
    HANDLE unload = SignalCreate(kServiceUnloadEventName, nullptr);  // a resident service's stop event
    ASSERT_NE(unload, nullptr);
    wt::SetSetting(L"AutoRun", 0);
    RunTollwick(114);
    EXPECT_EQ(!wt::FileExists(shortcut), c.deleted);
    EXPECT_EQ(WaitForSingleObject(unload, 0), WAIT_OBJECT_0);  // told to unload in both cases
    CloseHandle(unload);
    DeleteFileW(shortcut.c_str());
    RemoveDirectoryW(shortcut.substr(0, shortcut.find_last_of(L'\\')).c_str());
  }
}

TEST_F(ConfigExitLongStartup, RefusedPathStillStartsTheService) {
  ASSERT_TRUE(wt::MakeInstalledShortcut());
  std::wstring shortcut = RedirectStartup(128);
  wt::SetSetting(L"AutoRun", 1);
  const int before = wt::JobProcessesEver();
  RunTollwick(114);
  EXPECT_EQ(wt::JobProcessesEver() - before, 2);  // Tollwick and the service
  EXPECT_FALSE(wt::FileExists(shortcut));         // no copy to a refused path
  EXPECT_TRUE(wt::WaitFor(ServiceResident, wt::kProcessMs));
  RemoveDirectoryW(shortcut.substr(0, shortcut.find_last_of(L'\\')).c_str());
}

}  // namespace
