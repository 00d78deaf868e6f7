// The suite as a user meets it, on one path: setup.exe /S, the unlock
// buttons pressed into Tollwick with real key input, "Ok" (the service
// starts), a suspend broadcast, the lock screen's owner, date, counts and an
// appointment read back from Wine's text trace, the unlock, a second lock,
// and the uninstaller. Beside it, what setup and uninstall must do around a
// running suite. This program runs last, in a session of its own: its
// uninstall removes the programs that the other test programs use.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <string>
#include <vector>

#include "tests/wine/support/appointments_support.h"
#include "tests/wine/support/config_support.h"
#include "tests/wine/support/e2e_support.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/service_support.h"
#include "tests/wine/support/shortcut_support.h"
#include "tests/wine/support/support.h"

namespace {

const wchar_t* const kPrograms[] = {L"Hushpane.exe", L"Corvane.exe", L"Tollwick.exe", L"ovdevice.exe"};

bool SamePath(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

int SuiteProcesses() {
  return wt::CountProcesses(L"Hushpane.exe") + wt::CountProcesses(L"Corvane.exe") + wt::CountProcesses(L"Tollwick.exe");
}

std::wstring ProgramsShortcut(const wchar_t* name) {
  const std::wstring installed = wt::InstalledShortcutPath();
  return installed.substr(0, installed.find_last_of(L'\\') + 1) + name;
}

class EndToEnd : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    wt::RemoveShortcuts();
    ASSERT_TRUE(wt::FileExists(e2e::SetupPath())) << "no setup.exe beside bin/: tools/make-setup.sh BUILD_DIR makes it";
  }
  void TearDown() override {
    if (helper_ != nullptr) {
      TerminateProcess(helper_, 0);
      WaitForSingleObject(helper_, wt::kStepMs);
      CloseHandle(helper_);
    }
    e2e::CloseTraced(t_);
    at::RemoveCalendar();
    wt::SuiteTest::TearDown();
  }

  // What the lock screen will show: owner, counts, a pinned clock (a
  // Wednesday) and a calendar with items in the coming week.
  void Seed() {
    ASSERT_EQ(wt::Device(L"owner \"Ada Lovelace\""), 0);
    ASSERT_EQ(wt::Device(L"sms 2"), 0);
    ASSERT_EQ(wt::Device(L"mail 5"), 0);
    ASSERT_EQ(wt::Device(L"calls missed 1"), 0);
    ASSERT_EQ(wt::Device(L"battery 76"), 0);
    ASSERT_EQ(wt::Device(L"ac online"), 0);
    ASSERT_EQ(wt::Device(L"clock \"2027-01-13 10:00:00\""), 0);
    ASSERT_TRUE(at::WriteCalendar(at::kSampleWeek));
  }

  // Arms a capture button and presses a key into it (SendInput).
  void Capture(int id, WORD vk, const wchar_t* caption) {
    HWND button = wt::ControlOf(t_.window, id);
    ASSERT_NE(button, nullptr);
    wt::Click(button);
    wt::Tap(vk);
    EXPECT_TRUE(wt::WaitFor([&] { return wt::TextOf(button) == caption; }, wt::kStepMs))
        << "button " << id << " shows " << std::string(wt::TextOf(button).begin(), wt::TextOf(button).end());
  }

  // Sends a suspend broadcast and waits for the service's lock screen;
  // checks that it drew the owner, the date, the counts and the first
  // appointment line (texts drawn after `from` in the trace).
  HWND LockAndRead(size_t from) {
    EXPECT_EQ(wt::Device(L"power suspend"), 0);
    HWND lock = nullptr;
    wt::WaitFor(
        [&] {
          lock = FindWindowW(kLockWindowClass, kLockWindowTitle);
          return lock != nullptr && IsWindowVisible(lock);
        },
        15000);
    if (lock == nullptr) return nullptr;
    const wchar_t* texts[] = {L"Ada Lovelace",    L"Wednesday, January 13, 2027", L"Unread SMS: 2", L"Unread Mail: 5",
                              L"Missed calls: 1", at::kSampleWeekLines[0]};
    for (const wchar_t* text : texts)
      EXPECT_GE(lt::WaitDrawn(t_.trace, text, wt::kProcessMs, from), 0)
          << "not drawn: " << std::string(text, text + wcslen(text)) << "\n"
          << lt::DrawnDump(t_.trace, from);
    // Its workers run (the input hook with them) before keys are pressed.
    EXPECT_TRUE(lt::WaitProbe(lock, kProbeTicks, 1, wt::kStepMs));
    return lock;
  }

  // F1 then F2, the two buttons captured above; the lock screen ends with 0.
  void Unlock(HWND lock) {
    DWORD pid = 0;
    GetWindowThreadProcessId(lock, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    ASSERT_NE(process, nullptr);
    wt::Key(VK_F1, false);
    EXPECT_TRUE(lt::WaitProbe(lock, kProbeKeyDowns, 1, wt::kStepMs));
    wt::Key(VK_F2, false);
    EXPECT_EQ(wt::WaitExit(process, wt::kProcessMs), 0);
    wt::Key(VK_F2, true);
    wt::Key(VK_F1, true);
    CloseHandle(process);
  }

  // Holds the service's unload event, as a service that does not end.
  void HoldUnloadEvent() {
    helper_ = wt::StartSelf(L"--helper hold \"Ombrevale - Hushpane_Unload\"");
    ASSERT_NE(helper_, nullptr);
    ASSERT_TRUE(wt::WaitFor([] { return wt::EventExists(L"Ombrevale - Hushpane_Unload"); }, wt::kStepMs));
  }

  e2e::Traced t_;
  HANDLE helper_ = nullptr;
};

TEST_F(EndToEnd, SetupInstallsProgramsSkinsShortcutsAndUninstallEntry) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  for (const wchar_t* program : kPrograms) EXPECT_TRUE(wt::FileExists(wt::InstalledPath(program))) << program;
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"uninstall.exe")));
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"skin\\analog\\config.ini")));
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"skin\\analog\\portrait_qvga.jpg")));
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"skin\\digital\\config.ini")));
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"skin\\digital\\landscape_vga.jpg")));
  // Shell links in the user's Programs folder, where Tollwick copies the
  // start-up shortcut from.
  EXPECT_TRUE(SamePath(wt::ShortcutTarget(wt::InstalledShortcutPath()), wt::InstalledPath(L"Hushpane.exe")));
  EXPECT_TRUE(SamePath(wt::ShortcutTarget(ProgramsShortcut(L"Tollwick.lnk")), wt::InstalledPath(L"Tollwick.exe")));
  EXPECT_FALSE(wt::FileExists(wt::StartupShortcutPath()));
  EXPECT_EQ(e2e::UninstallEntry(L"DisplayName"), L"Ombrevale Hushpane");
  EXPECT_EQ(e2e::UninstallEntry(L"UninstallString"), L"\"" + wt::InstalledPath(L"uninstall.exe") + L"\"");
  // No service was resident, so none is started.
  EXPECT_EQ(SuiteProcesses(), 0);
}

TEST_F(EndToEnd, InstallConfigureLockUnlockLockAgainUninstall) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  Seed();
  t_ = e2e::StartTracedTollwick();
  ASSERT_NE(t_.window, nullptr);
  ASSERT_TRUE(wt::WaitFor([&] { return GetForegroundWindow() == t_.window; }, wt::kStepMs));
  Capture(0x8801, VK_F1, L"0x070");
  Capture(0x8802, VK_F2, L"0x071");
  HWND autoRun = wt::ControlOf(t_.window, 0x8805);  // "Enable AutoRun mode"
  wt::Click(autoRun);
  DWORD_PTR checked = 0;
  SendMessageTimeoutW(autoRun, BM_GETCHECK, 0, 0, SMTO_NORMAL, wt::kStepMs, &checked);
  EXPECT_EQ(checked, static_cast<DWORD_PTR>(BST_CHECKED));
  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  wt::Click(GetDlgItem(bar, 113));  // "Ok"
  ASSERT_TRUE(wt::WaitFor([] { return wt::CountProcesses(L"Tollwick.exe") == 0; }, wt::kProcessMs));

  DWORD b1 = 0, b2 = 0, autoRunSaved = 0;
  EXPECT_TRUE(wt::GetSetting(L"Button_1", &b1));
  EXPECT_TRUE(wt::GetSetting(L"Button_2", &b2));
  EXPECT_TRUE(wt::GetSetting(L"AutoRun", &autoRunSaved));
  EXPECT_EQ(b1, static_cast<DWORD>(VK_F1));
  EXPECT_EQ(b2, static_cast<DWORD>(VK_F2));
  EXPECT_EQ(autoRunSaved, 1u);
  EXPECT_TRUE(SamePath(wt::ShortcutTarget(wt::StartupShortcutPath()), wt::InstalledPath(L"Hushpane.exe")));
  ASSERT_TRUE(wt::WaitFor([] { return wt::CountProcesses(L"Hushpane.exe") == 1; }, wt::kProcessMs));
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));

  HWND lock = LockAndRead(e2e::DrawnCount(t_));
  ASSERT_NE(lock, nullptr);
  Unlock(lock);
  EXPECT_EQ(wt::CountProcesses(L"Corvane.exe"), 0);
  EXPECT_EQ(wt::CountProcesses(L"Hushpane.exe"), 1);

  // The service is armed again: the next broadcast locks again.
  lock = LockAndRead(e2e::DrawnCount(t_));
  ASSERT_NE(lock, nullptr);
  Unlock(lock);

  ASSERT_EQ(e2e::RunUninstall(), 0);
  EXPECT_TRUE(wt::WaitFor([] { return SuiteProcesses() == 0; }, wt::kStepMs))
      << "still running: " << wt::CountProcesses(L"Hushpane.exe") << " service, " << wt::CountProcesses(L"Corvane.exe")
      << " lock screen, " << wt::CountProcesses(L"Tollwick.exe") << " configuration";
  EXPECT_FALSE(wt::EventExists(L"Ombrevale - Hushpane_Unload"));
  EXPECT_FALSE(wt::FileExists(wt::StartupShortcutPath()));
  EXPECT_FALSE(wt::FileExists(wt::InstalledShortcutPath()));
  EXPECT_FALSE(wt::FileExists(ProgramsShortcut(L"Tollwick.lnk")));
  for (const wchar_t* program : kPrograms) EXPECT_FALSE(wt::FileExists(wt::InstalledPath(program))) << program;
  EXPECT_FALSE(wt::FileExists(wt::InstalledPath(L"skin")));
  EXPECT_EQ(e2e::UninstallEntry(L"UninstallString"), L"");
}

// A lock screen shows: setup and the uninstaller end with 3 and touch no
// file; the resident service and the lock screen stay.
TEST_F(EndToEnd, SetupAndUninstallRefuseWhileLockScreenShows) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  svc::ArmedSettings();
  wt::SetSetting(L"Button_2", VK_F2);
  const std::wstring marker = wt::InstalledPath(L"Tollwick.exe");
  ASSERT_TRUE(wt::WriteTextFile(marker, "kept"));
  HANDLE service = wt::Start(L"Hushpane.exe", L"/load");
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);

  EXPECT_EQ(e2e::RunSetup(), 3);
  EXPECT_EQ(wt::ReadTextFile(marker), "kept");
  EXPECT_EQ(e2e::RunUninstall(), 3);
  EXPECT_EQ(wt::ReadTextFile(marker), "kept");
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"Corvane.exe")));
  EXPECT_TRUE(wt::FileExists(wt::InstalledShortcutPath()));
  EXPECT_EQ(WaitForSingleObject(lock.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(service, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(wt::EventExists(L"Ombrevale - Hushpane_Unload"));
  EXPECT_FALSE(wt::EventSignalled(L"Ombrevale - Hushpane_Unload"));
  lt::CloseLock(lock);
  CloseHandle(service);
}

// Something holds the service's unload event and never ends (a service
// that hangs): setup waits its bounded time, then ends with 4 and copies
// nothing.
TEST_F(EndToEnd, SetupGivesUpOnAServiceThatDoesNotStop) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  const std::wstring marker = wt::InstalledPath(L"Tollwick.exe");
  ASSERT_TRUE(wt::WriteTextFile(marker, "kept"));
  HoldUnloadEvent();
  EXPECT_EQ(e2e::RunSetup(), 4);
  EXPECT_TRUE(wt::EventSignalled(L"Ombrevale - Hushpane_Unload"));  // it was asked
  EXPECT_EQ(wt::ReadTextFile(marker), "kept");
}

// A lock screen appears while setup waits for the service (a broadcast
// came first): setup withdraws its unload request from the service that is
// still there, ends with 3 and copies nothing.
TEST_F(EndToEnd, LockScreenAppearingWhileServiceStopsWithdrawsTheRequest) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  wt::SetSetting(L"Button_1", VK_F1);
  wt::SetSetting(L"Button_2", VK_F2);
  const std::wstring marker = wt::InstalledPath(L"Tollwick.exe");
  ASSERT_TRUE(wt::WriteTextFile(marker, "kept"));
  // A service that is busy showing a lock screen: it holds its events and
  // looks at the unload request only after the unlock.
  HoldUnloadEvent();
  HANDLE setup = e2e::Launch(e2e::SetupPath(), L"/S");
  ASSERT_NE(setup, nullptr);
  ASSERT_TRUE(wt::WaitFor([] { return wt::EventSignalled(L"Ombrevale - Hushpane_Unload"); }, wt::kProcessMs));
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  EXPECT_EQ(wt::WaitExit(setup, 15000), 3);
  CloseHandle(setup);
  EXPECT_TRUE(wt::EventExists(L"Ombrevale - Hushpane_Unload"));
  EXPECT_FALSE(wt::EventSignalled(L"Ombrevale - Hushpane_Unload"));
  EXPECT_EQ(wt::ReadTextFile(marker), "kept");
  EXPECT_EQ(wt::CountProcesses(L"Hushpane.exe"), 0);  // no second service started
  lt::CloseLock(lock);
}

// An upgrade over a resident service stops it before copying and starts
// it again with "installed" (no start-up lock).
TEST_F(EndToEnd, SetupOverRunningServiceStopsItAndStartsItWithInstalled) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  svc::ArmedSettings();
  HANDLE old = wt::Start(L"Hushpane.exe", L"/load");
  ASSERT_NE(old, nullptr);
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));

  ASSERT_EQ(e2e::RunSetup(), 0);
  EXPECT_EQ(wt::WaitExit(old, wt::kStepMs), 0) << "the resident service was not stopped";
  CloseHandle(old);
  ASSERT_TRUE(wt::WaitFor([] { return wt::CountProcesses(L"Hushpane.exe") == 1; }, wt::kProcessMs));
  const std::vector<std::wstring> lines = e2e::CommandLinesOf(L"Hushpane.exe");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], L"\"" + wt::InstalledPath(L"Hushpane.exe") + L"\" /load installed");
  EXPECT_TRUE(svc::WaitListening(wt::kProcessMs));
  EXPECT_EQ(wt::CountProcesses(L"Corvane.exe"), 0);
}

// The settings key outlives a plain uninstall (a reinstall keeps the
// buttons); /REMOVESETTINGS deletes it.
TEST_F(EndToEnd, UninstallKeepsSettingsUnlessRemoveSettings) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  wt::SetSetting(L"Button_1", VK_F5);
  ASSERT_EQ(e2e::RunUninstall(), 0);
  EXPECT_FALSE(wt::FileExists(wt::InstalledPath(L"Hushpane.exe")));
  DWORD button = 0;
  EXPECT_TRUE(wt::GetSetting(L"Button_1", &button));
  EXPECT_EQ(button, static_cast<DWORD>(VK_F5));

  ASSERT_EQ(e2e::RunSetup(), 0);
  ASSERT_EQ(e2e::RunUninstall(L"/REMOVESETTINGS"), 0);
  EXPECT_FALSE(wt::FileExists(wt::InstalledPath(L"Hushpane.exe")));
  EXPECT_FALSE(wt::SettingsKeyExists());
}

// A plain install carries no test switch: no device tool, and the values
// the device tool left are gone with the uninstaller.
TEST_F(EndToEnd, APlainInstallShipsNoDeviceTool) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  ASSERT_EQ(wt::Device(L"ac online"), 0);
  ASSERT_EQ(e2e::RunUninstall(), 0);
  HKEY device = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Device", 0, KEY_READ, &device), ERROR_SUCCESS);
  ASSERT_EQ(e2e::RunSetup(L"/S"), 0);
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"Hushpane.exe")));
  EXPECT_FALSE(wt::FileExists(wt::InstalledPath(L"ovdevice.exe")));
  ASSERT_EQ(e2e::RunSetup(), 0);  // the device tool back for the tests that follow
}

// On a standard account Tollwick must be able to save: setup lets the
// interactive users read and set the values of the settings key, and
// grants them nothing else there nor on the key above it.
TEST_F(EndToEnd, SetupLetsInteractiveUsersSetTheSettingsAndNothingElse) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  HKEY settings = nullptr, parent = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", 0, READ_CONTROL, &settings),
            ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale", 0, READ_CONTROL, &parent), ERROR_SUCCESS);
  EXPECT_EQ(wt::AllowedTo(settings, SE_REGISTRY_KEY, WinInteractiveSid),
            static_cast<ACCESS_MASK>(KEY_READ | KEY_SET_VALUE));
  EXPECT_EQ(wt::AllowedTo(settings, SE_REGISTRY_KEY, WinBuiltinUsersSid) & ~static_cast<ACCESS_MASK>(KEY_READ), 0u);
  EXPECT_EQ(wt::AllowedTo(parent, SE_REGISTRY_KEY, WinInteractiveSid) & ~static_cast<ACCESS_MASK>(KEY_READ), 0u);
  RegCloseKey(settings);
  RegCloseKey(parent);
}

// Setup's own pages fit a 1024x768 screen above a taskbar; the finish page
// starts the configuration program.
TEST_F(EndToEnd, SetupPagesFitAPcScreenAndFinishStartsTollwick) {
  HANDLE setup = e2e::Launch(e2e::SetupPath(), L"");
  ASSERT_NE(setup, nullptr);
  HWND page = wt::WaitProcessWindow(GetProcessId(setup), L"#32770", 30000);
  ASSERT_NE(page, nullptr);
  HWND finish = nullptr;
  ASSERT_TRUE(
      wt::WaitFor([&] { return (finish = GetDlgItem(page, IDOK)) != nullptr && IsWindowEnabled(finish); }, 60000));
  ASSERT_TRUE(wt::WaitFor([&] { return wt::TextOf(finish) == L"&Finish"; }, 60000)) << "the finish page did not come";
  RECT r;
  GetWindowRect(page, &r);
  EXPECT_LE(r.right - r.left, 1024);
  EXPECT_LE(r.bottom - r.top, 768 - 48);  // a taskbar's height
  wt::Click(finish);
  EXPECT_EQ(wt::WaitExit(setup, wt::kProcessMs), 0);
  CloseHandle(setup);
  EXPECT_TRUE(wt::WaitFor([] { return wt::CountProcesses(L"Tollwick.exe") == 1; }, wt::kProcessMs));
}

// The uninstaller stops the service only once the user confirmed: a
// cancelled uninstall leaves it resident and asked nothing of it.
TEST_F(EndToEnd, CancelledUninstallLeavesTheServiceRunning) {
  ASSERT_EQ(e2e::RunSetup(), 0);
  svc::ArmedSettings();
  HANDLE service = wt::Start(L"Hushpane.exe", L"/load installed");
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(svc::WaitListening(wt::kProcessMs));
  HANDLE uninstall = e2e::Launch(wt::InstalledPath(L"uninstall.exe"), L"_?=" + e2e::InstallFolder());
  ASSERT_NE(uninstall, nullptr);
  HWND page = wt::WaitProcessWindow(GetProcessId(uninstall), L"#32770", 30000);
  ASSERT_NE(page, nullptr);
  RECT r;
  GetWindowRect(page, &r);
  EXPECT_LE(r.right - r.left, 1024);
  EXPECT_LE(r.bottom - r.top, 768 - 48);
  HWND cancel = GetDlgItem(page, IDCANCEL);
  ASSERT_NE(cancel, nullptr);
  wt::Click(cancel);
  EXPECT_NE(wt::WaitExit(uninstall, wt::kProcessMs), -1);
  CloseHandle(uninstall);
  EXPECT_EQ(WaitForSingleObject(service, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the service was stopped";
  EXPECT_FALSE(wt::EventSignalled(L"Ombrevale - Hushpane_Unload"));
  EXPECT_TRUE(wt::FileExists(wt::InstalledPath(L"Hushpane.exe")));
  TerminateProcess(service, 0);
  CloseHandle(service);
}

}  // namespace
