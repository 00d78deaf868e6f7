// The device tool's phone and message state commands write the values the
// suite reads, each in its own hive, and its usage rules hold.
#include <gtest/gtest.h>

#include "platform/device_state.h"
#include "platform/power.h"
#include "platform/registry.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

class PlatformDevice : public wt::SuiteTest {};

bool ReadDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD* value) {
  return RegistryGetDWORD(root, key, name, value) == S_OK;
}

TEST_F(PlatformDevice, CountsGoToTheirHives) {
  const struct {
    const wchar_t* set;
    const wchar_t* clear;
    HKEY root;
    const wchar_t* key;
    const wchar_t* name;
  } cases[] = {
      {L"calls active 1", L"calls active clear", HKEY_LOCAL_MACHINE, L"System\\State\\Phone", L"Active Call Count"},
      {L"calls missed 3", L"calls missed clear", HKEY_CURRENT_USER, L"System\\State\\Phone", L"Missed Call Count"},
      {L"sms 12", L"sms clear", HKEY_CURRENT_USER, L"System\\State\\Messages\\sms\\Unread", L"Count"},
      {L"mail 4294967295", L"mail clear", HKEY_CURRENT_USER, L"System\\State\\Messages\\TotalEmail\\Unread", L"Count"},
  };
  const DWORD expected[] = {1, 3, 12, 0xFFFFFFFF};
  for (size_t i = 0; i < 4; ++i) {
    const auto& c = cases[i];
    DWORD v = 0;
    ASSERT_EQ(0, wt::Device(c.set)) << c.set;
    ASSERT_TRUE(ReadDword(c.root, c.key, c.name, &v)) << c.set;
    EXPECT_EQ(expected[i], v) << c.set;
    // Not in the other hive.
    HKEY other = c.root == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    EXPECT_FALSE(ReadDword(other, c.key, c.name, &v)) << c.set;
    ASSERT_EQ(0, wt::Device(c.clear)) << c.clear;
    EXPECT_FALSE(ReadDword(c.root, c.key, c.name, &v)) << c.clear;
  }
}

TEST_F(PlatformDevice, OwnerNameIsAString) {
  ASSERT_EQ(0, wt::Device(L"owner \"Ada L\u00f6velace\""));
  wchar_t name[80] = {};
  DWORD size = sizeof(name), type = 0;
  ASSERT_EQ(ERROR_SUCCESS,
            RegGetValueW(HKEY_CURRENT_USER, L"ControlPanel\\Owner", L"Name", RRF_RT_ANY, &type, name, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_STREQ(L"Ada L\u00f6velace", name);
  ASSERT_EQ(0, wt::Device(L"owner clear"));
  size = sizeof(name);
  EXPECT_NE(ERROR_SUCCESS,
            RegGetValueW(HKEY_CURRENT_USER, L"ControlPanel\\Owner", L"Name", RRF_RT_ANY, &type, name, &size));
}

// Simulated values count only once the device tool has marked the key as
// its own: stray ones (no mark) leave the PC's own power status, idle time
// and clock, and a lock screen's keyboard hook is not refused.
TEST_F(PlatformDevice, StrayValuesCountOnlyWithTheToolsMark) {
  const wchar_t kDevice[] = L"Software\\Ombrevale\\Device";
  const struct {
    const wchar_t* name;
    DWORD value;
  } strays[] = {
      {L"ACLineStatus", 0}, {L"BatteryPercent", 7}, {L"IdleMode", 2}, {L"IdleBase", 12345}, {L"HookRefusals", 3}};
  for (const auto& v : strays) wt::SetDword(HKEY_CURRENT_USER, kDevice, v.name, v.value);
  SYSTEM_POWER_STATUS_EX power;
  ASSERT_TRUE(GetSystemPowerStatusEx(&power, TRUE));
  EXPECT_NE(power.BatteryLifePercent, 7);
  EXPECT_NE(GetIdleTime(), 12345u);
  wt::SetSetting(L"Button_1", VK_F1);
  lt::Lock lock = lt::StartLock();
  ASSERT_NE(lock.window, nullptr);
  EXPECT_NE(lt::Probe(lock.window, kProbeHook), 0);
  DWORD refusals = 0;
  EXPECT_TRUE(DeviceReadDword(L"HookRefusals", &refusals));
  EXPECT_EQ(refusals, 3u);  // never counted down: no install was refused
  lt::CloseLock(lock);

  ASSERT_TRUE(DeviceMarkTool());
  ASSERT_TRUE(GetSystemPowerStatusEx(&power, TRUE));
  EXPECT_EQ(power.ACLineStatus, 0);
  EXPECT_EQ(power.BatteryLifePercent, 7);
  EXPECT_EQ(GetIdleTime(), 12345u);
}

TEST_F(PlatformDevice, BadUsageExitsWithTwo) {
  const wchar_t* bad[] = {L"",
                          L"fly",
                          L"power",
                          L"power dim",
                          L"power raw 1",
                          L"power raw x 1",
                          L"power raw 1 2 3 4",
                          L"calls active",
                          L"calls held 1",
                          L"sms many",
                          L"hotkey 0 1",
                          L"hotkey 72",
                          L"display on off"};
  for (const wchar_t* args : bad) EXPECT_EQ(2, wt::Device(args)) << static_cast<const void*>(args);
}

TEST_F(PlatformDevice, RawBroadcastsNeedNoReader) {
  EXPECT_EQ(0, wt::Device(L"power raw 0x1 0x00200000"));
  EXPECT_EQ(0, wt::Device(L"power transition"));
  EXPECT_EQ(0, wt::Device(L"power resume"));
}

}  // namespace
