// "Ok" where the settings key may not be written (a standard account on a
// key nobody opened for it): Tollwick says so plainly and keeps its window,
// so nothing is lost in silence; the stored values stay as they were.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include "tests/wine/support/config_support.h"
#include "tests/wine/support/shortcut_support.h"
#include "tests/wine/support/support.h"

namespace {

// Readable by everyone, and its DACL and the key itself may still be
// changed and deleted (so that the test's clean-up works): no value may be
// written.
bool MakeSettingsReadOnly() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", 0, WRITE_DAC, &key) != ERROR_SUCCESS)
    return false;
  PSECURITY_DESCRIPTOR sd = nullptr;
  bool done = ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)(A;;0x50000;;;WD)",
                                                                  SDDL_REVISION_1, &sd, nullptr) &&
              RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
  LocalFree(sd);
  RegCloseKey(key);
  return done;
}

class ConfigSave : public wt::SuiteTest {
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
  wt::Tollwick t_;
};

TEST_F(ConfigSave, OkThatCannotSaveSaysSoAndKeepsTheWindow) {
  wt::SetSetting(L"TimeOut", 8);
  ASSERT_TRUE(MakeSettingsReadOnly());
  t_ = wt::StartTollwick();
  ASSERT_NE(t_.window, nullptr);
  HWND bar = wt::MenuBarOf(t_.window);
  ASSERT_NE(bar, nullptr);
  wt::Click(GetDlgItem(bar, 113));  // "Ok"

  HWND box = wt::WaitProcessWindow(GetProcessId(t_.process), L"#32770", 10000);
  ASSERT_NE(box, nullptr) << "no message: the settings were lost in silence";
  HWND text = FindWindowExW(box, nullptr, L"Static", nullptr);
  while (text != nullptr && wt::TextOf(text).empty()) text = FindWindowExW(box, text, L"Static", nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_NE(wt::TextOf(text).find(L"could not be saved"), std::wstring::npos);
  wt::Click(GetDlgItem(box, IDOK));
  EXPECT_TRUE(wt::WaitFor([&] { return !IsWindow(box); }, 5000));
  EXPECT_EQ(WaitForSingleObject(t_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(IsWindowVisible(t_.window));
  EXPECT_EQ(wt::SettingNames().size(), 1u);  // only what was there before
  EXPECT_EQ(wt::CloseTollwick(t_, 114), 0);  // "Cancel" still ends it
}

}  // namespace
