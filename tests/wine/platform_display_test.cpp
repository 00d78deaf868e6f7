// The display stand-in: the power escape records the state, the device tool
// reads and sets it, a power-on broadcast turns it on, and switching it
// sends no broadcast.
#include <gtest/gtest.h>

#include <string.h>

#include "platform/device_state.h"
#include "platform/display.h"
#include "platform/power.h"
#include "tests/wine/support/support.h"

namespace {

// The device tool has taken the display over (a recorded state exists).
class PlatformDisplay : public wt::SuiteTest {
 protected:
  void SetUp() override {
    wt::SuiteTest::SetUp();
    ASSERT_EQ(0, wt::Device(L"display on"));
  }
};

int Escape(int escape, const void* in, int inSize) {
  HDC dc = GetDC(nullptr);
  int r = DisplayExtEscape(dc, escape, inSize, static_cast<const char*>(in), 0, nullptr);
  ReleaseDC(nullptr, dc);
  return r;
}

int SetPower(ULONG state, ULONG length = 12) {
  VIDEO_POWER_MANAGEMENT_CE vpm = {length, 1, state};
  return Escape(SETPOWERMANAGEMENT, &vpm, sizeof(vpm));
}

TEST_F(PlatformDisplay, TheToolReadsAndSetsTheRecordedState) {
  EXPECT_EQ(0, wt::Device(L"display"));  // on unless recorded off
  EXPECT_EQ(0, wt::Device(L"display off"));
  EXPECT_EQ(1, wt::Device(L"display"));
  EXPECT_EQ(0, DeviceDisplayIsOn());
  EXPECT_EQ(0, wt::Device(L"display on"));
  EXPECT_EQ(0, wt::Device(L"display"));
  EXPECT_EQ(1, DeviceDisplayIsOn());
  EXPECT_EQ(2, wt::Device(L"display dim"));
}

TEST_F(PlatformDisplay, TheEscapeIsSupportedAndRecorded) {
  DWORD code = SETPOWERMANAGEMENT;
  EXPECT_GT(Escape(8, &code, 4), 0);  // QUERYESCSUPPORT
  DWORD other = 0x7777;
  EXPECT_LE(Escape(8, &other, 4), 0);
  EXPECT_GT(SetPower(VideoPowerOff), 0);
  EXPECT_EQ(1, wt::Device(L"display"));
  EXPECT_GT(SetPower(VideoPowerOn), 0);
  EXPECT_EQ(0, wt::Device(L"display"));
}

// Without a display state of the device tool there is no simulated
// display: the escape records nothing (the lock screen turns the PC's
// monitors instead), and neither does a power-on broadcast.
TEST_F(PlatformDisplay, WithoutADisplayStateNothingIsRecorded) {
  ASSERT_TRUE(DeviceDeleteValue(L"DisplayOff"));
  EXPECT_GT(SetPower(VideoPowerOff), 0);
  EXPECT_EQ(0, wt::Device(L"power on"));
  EXPECT_FALSE(DeviceDisplaySimulated());
  EXPECT_EQ(1, DeviceDisplayIsOn());
}

TEST_F(PlatformDisplay, MalformedRecordsChangeNothing) {
  EXPECT_GT(SetPower(VideoPowerOff), 0);
  EXPECT_LT(SetPower(VideoPowerOn, 8), 0);  // a length below the record's
  EXPECT_LT(SetPower(9), 0);                // no such state
  VIDEO_POWER_MANAGEMENT_CE vpm = {12, 1, VideoPowerOn};
  EXPECT_LT(Escape(SETPOWERMANAGEMENT, &vpm, 8), 0);  // a short input
  EXPECT_EQ(0, DeviceDisplayIsOn());
}

TEST_F(PlatformDisplay, APowerOnBroadcastTurnsItOnAndSwitchingSendsNone) {
  MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
  HANDLE queue = CreateMsgQueue(nullptr, &options);
  ASSERT_NE(queue, nullptr);
  HANDLE registration = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
  ASSERT_NE(registration, nullptr);
  EXPECT_GT(SetPower(VideoPowerOff), 0);
  EXPECT_EQ(0, wt::Device(L"power suspend"));
  EXPECT_EQ(1, wt::Device(L"display"));  // other broadcasts leave it dark
  EXPECT_EQ(0, wt::Device(L"power on"));
  EXPECT_EQ(0, wt::Device(L"display"));
  EXPECT_GT(SetPower(VideoPowerOff), 0);
  EXPECT_GT(SetPower(VideoPowerOn), 0);
  // Exactly the two broadcasts the tool sent, none from the switching.
  BYTE buffer[1024];
  DWORD read = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_SUSPEND), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_ON), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
  EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  StopPowerNotifications(registration);
  CloseMsgQueue(queue);
}

}  // namespace
