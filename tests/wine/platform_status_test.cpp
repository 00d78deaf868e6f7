// Power status and idle time: the device tool's simulated values, and the
// desktop's own when none are set.
#include <gtest/gtest.h>

#include "platform/power.h"
#include "tests/wine/support/support.h"

namespace {

class PlatformStatus : public wt::SuiteTest {};

BYTE AcLine() {
  SYSTEM_POWER_STATUS_EX s;
  GetSystemPowerStatusEx(&s, TRUE);
  return s.ACLineStatus;
}

BYTE Percent() {
  SYSTEM_POWER_STATUS_EX2 s;
  GetSystemPowerStatusEx2(&s, sizeof(s), TRUE);
  return s.BatteryLifePercent;
}

TEST_F(PlatformStatus, AcLineFollowsTheTool) {
  const struct {
    const wchar_t* word;
    BYTE value;
  } cases[] = {{L"ac offline", 0}, {L"ac online", 1}, {L"ac backup", 2}, {L"ac unknown", 255}};
  for (const auto& c : cases) {
    ASSERT_EQ(0, wt::Device(c.word));
    EXPECT_EQ(c.value, AcLine()) << c.word;
    SYSTEM_POWER_STATUS_EX2 s2;
    ASSERT_EQ(sizeof(s2), GetSystemPowerStatusEx2(&s2, sizeof(s2), TRUE));
    EXPECT_EQ(c.value, reinterpret_cast<BYTE*>(&s2)[0]);
  }
  EXPECT_EQ(2, wt::Device(L"ac maybe"));
}

TEST_F(PlatformStatus, BatteryFollowsTheTool) {
  const struct {
    const wchar_t* word;
    BYTE value;
  } cases[] = {{L"battery 0", 0}, {L"battery 24", 24}, {L"battery 100", 100}, {L"battery unknown", 255}};
  for (const auto& c : cases) {
    ASSERT_EQ(0, wt::Device(c.word));
    EXPECT_EQ(c.value, Percent()) << c.word;
    SYSTEM_POWER_STATUS_EX s;
    ASSERT_TRUE(GetSystemPowerStatusEx(&s, TRUE));
    EXPECT_EQ(c.value, reinterpret_cast<BYTE*>(&s)[2]);
  }
  EXPECT_EQ(2, wt::Device(L"battery 101"));
  EXPECT_EQ(2, wt::Device(L"battery -1"));
}

TEST_F(PlatformStatus, WithoutSimulationTheDesktopsOwn) {
  ASSERT_EQ(0, wt::Device(L"ac offline"));
  ASSERT_EQ(0, wt::Device(L"battery 10"));
  ASSERT_EQ(0, wt::Device(L"ac desktop"));
  ASSERT_EQ(0, wt::Device(L"battery desktop"));
  SYSTEM_POWER_STATUS desk;
  ASSERT_TRUE(GetSystemPowerStatus(&desk));
  EXPECT_EQ(desk.ACLineStatus, AcLine());
  EXPECT_EQ(desk.BatteryLifePercent, Percent());
}

TEST_F(PlatformStatus, Ex2NeedsTheWholeRecord) {
  SYSTEM_POWER_STATUS_EX2 s;
  EXPECT_EQ(0u, GetSystemPowerStatusEx2(&s, sizeof(s) - 1, TRUE));
  EXPECT_EQ(0u, GetSystemPowerStatusEx2(nullptr, sizeof(s), TRUE));
  EXPECT_FALSE(GetSystemPowerStatusEx(nullptr, TRUE));
}

TEST_F(PlatformStatus, IdleCounterSimulation) {
  ASSERT_EQ(0, wt::Device(L"idle set 1000"));
  EXPECT_EQ(1000u, GetIdleTime());
  ASSERT_EQ(0, wt::Device(L"idle idle"));  // grows from there with real time
  EXPECT_TRUE(wt::WaitFor([] { return GetIdleTime() >= 1300; }, wt::kStepMs));
  ASSERT_EQ(0, wt::Device(L"idle busy"));
  DWORD still = GetIdleTime();
  EXPECT_GE(still, 1300u);
  DWORD start = GetTickCount();
  wt::WaitFor([&] { return GetTickCount() - start >= 300; }, wt::kStepMs);
  EXPECT_EQ(still, GetIdleTime());
  ASSERT_EQ(0, wt::Device(L"idle unsupported"));
  EXPECT_EQ(0xFFFFFFFFu, GetIdleTime());
  EXPECT_EQ(2, wt::Device(L"idle set 4294967296"));
  EXPECT_EQ(2, wt::Device(L"idle lazy"));
}

TEST_F(PlatformStatus, IdleCounterWrapsLikeTheDevices) {
  ASSERT_EQ(0, wt::Device(L"idle idle"));
  ASSERT_EQ(0, wt::Device(L"idle set 4294967000"));  // 296 ms before the wrap
  EXPECT_TRUE(wt::WaitFor([] { return GetIdleTime() < 100000; }, wt::kStepMs));
  ASSERT_EQ(0, wt::Device(L"idle set 0xFFFFFFF0"));
  EXPECT_TRUE(wt::WaitFor([] { return GetIdleTime() < 100000; }, wt::kStepMs));
}

TEST_F(PlatformStatus, DesktopIdleTimeIsUserIdleTime) {
  ASSERT_EQ(0, wt::Device(L"idle desktop"));
  DWORD first = GetIdleTime();
  EXPECT_NE(0xFFFFFFFFu, first);
  // Without input the counter follows real time.
  EXPECT_TRUE(wt::WaitFor([&] { return GetIdleTime() - first >= 500; }, wt::kStepMs));
  // A key stops it: read right after the key, it has grown by the time
  // since the key only, not by the half second before.
  DWORD before = GetIdleTime();
  DWORD quietStart = GetTickCount();
  wt::WaitFor([&] { return GetTickCount() - quietStart >= 500; }, wt::kStepMs);  // half a second without input
  DWORD keyAt = GetTickCount();
  wt::Tap(VK_SHIFT);
  DWORD afterKey = GetIdleTime();
  DWORD sinceKey = GetTickCount() - keyAt;
  EXPECT_LE(afterKey - before, sinceKey + 100)
      << "grew by " << (afterKey - before) << " ms, " << sinceKey << " ms since the key";
}

}  // namespace
