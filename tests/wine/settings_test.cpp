// The settings store against the real registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shared/settings.h"
#include "tests/wine/support/support.h"

namespace {

class Settings : public wt::SuiteTest {};

const wchar_t kKey[] = L"Software\\Ombrevale\\Hushpane";

void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), ERROR_SUCCESS);
  RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(h);
}

TEST_F(Settings, KeyMissingGivesEachProgramItsDefaults) {
  settings::LockScreenSettings lock;
  LoadLockScreenSettings(&lock);
  EXPECT_EQ(lock.noButtons, 1);
  EXPECT_EQ(lock.TimeOut, 8);
  EXPECT_EQ(lock.Clock_Type, 0);  // no key: digital
  EXPECT_EQ(lock.Face, 1);
  EXPECT_EQ(lock.ShowSeconds, 1);

  settings::ConfigSettings config;
  LoadConfigSettings(&config);
  EXPECT_EQ(config.Clock_Type, 1);
  EXPECT_EQ(config.TimeOut, 8);
  EXPECT_EQ(config.AcActivation, 2);
  EXPECT_EQ(config.BlueTooth, 0);

  settings::ServiceSettings service;
  LoadServiceSettings(&service);
  EXPECT_EQ(service.AcActivation, 2);
  EXPECT_EQ(service.AutoRun, 0);
}

TEST_F(Settings, KeyPresentValuesAbsent) {
  wt::SetSetting(L"Button_2", 0x72);
  settings::LockScreenSettings lock;
  LoadLockScreenSettings(&lock);
  EXPECT_EQ(lock.Clock_Type, 1);   // key there, value not: analog
  EXPECT_EQ(lock.Button_1, 0x72);  // only Button_2 set: both are that key
  EXPECT_EQ(lock.Button_2, 0x72);
  EXPECT_EQ(lock.noButtons, 0);
}

TEST_F(Settings, StoredValuesAreNormalisedOrKept) {
  wt::SetSetting(L"Button_1", 0x41);
  wt::SetSetting(L"DoubleClick", 5);
  wt::SetSetting(L"Clock_Type", 7);
  wt::SetSetting(L"AutoRun", 5);
  settings::LockScreenSettings lock;
  LoadLockScreenSettings(&lock);
  EXPECT_EQ(lock.DoubleClick, 1);
  EXPECT_EQ(lock.Clock_Type, 7);
  settings::ConfigSettings config;
  LoadConfigSettings(&config);
  EXPECT_EQ(config.DoubleClick, 1);
  EXPECT_EQ(config.Clock_Type, 7);
  settings::ServiceSettings service;
  LoadServiceSettings(&service);
  EXPECT_EQ(service.AutoRun, 1);
}

TEST_F(Settings, ValuesOfTheWrongTypeOrSizeCountAsAbsent) {
  wt::SetSetting(L"Button_1", 0x41);
  const wchar_t text[] = L"30";
  SetRaw(L"TimeOut", REG_SZ, text, sizeof(text));
  const BYTE two[2] = {1, 0};
  SetRaw(L"DoubleClick", REG_BINARY, two, sizeof(two));
  const ULONGLONG wide = 0x0000000100000003ULL;
  SetRaw(L"AcActivation", REG_QWORD, &wide, sizeof(wide));
  const DWORD asBinary = 0;
  SetRaw(L"Face", REG_BINARY, &asBinary, sizeof(asBinary));  // 4 bytes, but not a DWORD
  settings::LockScreenSettings lock;
  LoadLockScreenSettings(&lock);
  EXPECT_EQ(lock.TimeOut, 8);
  EXPECT_EQ(lock.AcActivation, 2);
  EXPECT_EQ(lock.DoubleClick, 0);
  EXPECT_EQ(lock.Face, 1);
  settings::ServiceSettings service;
  service.AcActivation = 2;
  LoadServiceSettings(&service);
  EXPECT_EQ(service.AcActivation, 2);
}

TEST_F(Settings, SaveWritesExactlyTheThirteenDwords) {
  settings::ConfigSettings s;
  s.TimeOut = 12;
  s.Button_1 = 0x70;
  s.Clock_Type = 7;
  s.Ignore_2 = -4000;
  ASSERT_TRUE(SaveConfigSettings(&s));

  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &h), ERROR_SUCCESS);
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[64];
    DWORD nameLen = 64, type = 0, size = 0;
    if (RegEnumValueW(h, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(size, 4u) << name;
    names.push_back(name);
  }
  RegCloseKey(h);
  const std::vector<std::wstring> want = {
      L"TimeOut",    L"AcActivation", L"AutoRun",  L"ActivateAtStartup", L"DoubleClick", L"EnableOnAC", L"BlueTooth",
      L"Clock_Type", L"Face",         L"Button_1", L"Button_2",          L"Ignore_1",    L"Ignore_2"};
  EXPECT_EQ(names.size(), want.size());
  for (const std::wstring& n : want) EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << n;

  DWORD v = 0;
  ASSERT_TRUE(wt::GetSetting(L"TimeOut", &v));
  EXPECT_EQ(v, 12u);
  ASSERT_TRUE(wt::GetSetting(L"Clock_Type", &v));
  EXPECT_EQ(v, 7u);
  ASSERT_TRUE(wt::GetSetting(L"Ignore_2", &v));
  EXPECT_EQ(v, 0xFFFFF060u);

  // What was saved reads back the same.
  settings::ConfigSettings back;
  LoadConfigSettings(&back);
  EXPECT_EQ(back.TimeOut, 12);
  EXPECT_EQ(back.Button_1, 0x70);
  EXPECT_EQ(back.Ignore_2, -4000);
}

TEST_F(Settings, OwnerNameOrVendorText) {
  wchar_t name[64];
  ReadOwnerName(name);
  EXPECT_STREQ(name, L"www.ombrevale.com");

  auto setOwner = [](DWORD type, const void* data, DWORD size) {
    HKEY h = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"ControlPanel\\Owner", 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
    RegSetValueExW(h, L"Name", 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(h);
  };
  const wchar_t ann[] = L"Ann Owner";
  setOwner(REG_SZ, ann, sizeof(ann));
  ReadOwnerName(name);
  EXPECT_STREQ(name, L"Ann Owner");

  std::wstring longest(63, L'x');  // 63 + terminator = 64 units: fits
  setOwner(REG_SZ, longest.c_str(), 64 * sizeof(wchar_t));
  ReadOwnerName(name);
  EXPECT_EQ(std::wstring(name), longest);

  std::wstring tooLong(64, L'y');  // needs 65 units
  setOwner(REG_SZ, tooLong.c_str(), 65 * sizeof(wchar_t));
  ReadOwnerName(name);
  EXPECT_STREQ(name, L"www.ombrevale.com");

  DWORD number = 5;
  setOwner(REG_DWORD, &number, sizeof(number));
  ReadOwnerName(name);
  EXPECT_STREQ(name, L"www.ombrevale.com");
}

}  // namespace
