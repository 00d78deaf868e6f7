// The desktop's power notifications as records, checked through the rules
// that read them: the service's broadcast decision and the lock screen's
// power thread. Suspend and the display going off lock; nothing else does;
// nothing ever ends the service or closes a lock screen.
#include <gtest/gtest.h>

#include <cstring>

#include "lockscreen/core/power_rules.h"
#include "service/core/broadcast_rules.h"
#include "service/core/power_notice.h"

namespace {

using namespace service;

TEST(ServicePowerNotice, NotificationsBecomeRecordsThatLockOrWake) {
  const struct {
    const char* what;
    PowerNotice got, want;
    BroadcastMeaning forService;
  } rows[] = {
      {"suspend", NoticeOfBroadcast(kPbtApmSuspend), kNoticeSuspend, kLock},
      {"resume", NoticeOfBroadcast(kPbtApmResumeAutomatic), kNoticeResume, kNextCycle},
      {"resume by the user", NoticeOfBroadcast(kPbtApmResumeSuspend), kNoticeResume, kNextCycle},
      {"critical resume", NoticeOfBroadcast(kPbtApmResumeCritical), kNoticeResume, kNextCycle},
      {"power status", NoticeOfBroadcast(kPbtApmPowerStatusChange), kNoticeStatusChange, kNextCycle},
      {"console off", NoticeOfDisplay(kConsoleDisplayState, 0), kNoticeDisplayOff, kLock},
      {"console on", NoticeOfDisplay(kConsoleDisplayState, 1), kNoticeDisplayOn, kNextCycle},
      {"monitor off", NoticeOfDisplay(kMonitorPowerOn, 0), kNoticeDisplayOff, kLock},
      {"monitor on", NoticeOfDisplay(kMonitorPowerOn, 1), kNoticeDisplayOn, kNextCycle},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.got, row.want);
    PowerRecord r;
    ASSERT_TRUE(RecordOfNotice(row.got, &r));
    uint8_t bytes[sizeof(r)];
    std::memcpy(bytes, &r, sizeof(r));
    // Never an end of the service or a close of a showing lock screen.
    EXPECT_EQ(InterpretBroadcast(bytes, sizeof(bytes)), row.forService);
    EXPECT_EQ(powerrules::Decide(bytes, sizeof(bytes)), powerrules::BroadcastAction::kWake);
  }
}

TEST(ServicePowerNotice, WhatIsNoNotice) {
  // A dimmed display, values and settings the desktop does not define,
  // broadcasts the suite does not act on (a query, OEM events, a setting
  // change read elsewhere).
  const PowerNotice none[] = {
      NoticeOfDisplay(kConsoleDisplayState, 2),
      NoticeOfDisplay(kMonitorPowerOn, 2),
      NoticeOfDisplay(7, 0),
      NoticeOfBroadcast(0x0000),
      NoticeOfBroadcast(0x000B),
      NoticeOfBroadcast(0x8013),
  };
  for (PowerNotice n : none) {
    EXPECT_EQ(n, kNoticeNone);
    PowerRecord r = {1, 2, 3};
    EXPECT_FALSE(RecordOfNotice(n, &r));
    EXPECT_EQ(r.message, 1u);  // untouched
  }
}

}  // namespace
