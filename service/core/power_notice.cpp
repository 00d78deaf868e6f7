// Each notice maps to one record of the device's power manager: suspend to
// POWER_STATE_SUSPEND, the display going off to POWER_STATE_IDLE (both lock),
// resume and display on to POWER_STATE_ON (never lock), a power-status change
// to PBT_POWERSTATUSCHANGE without state flags (it wakes a showing lock
// screen, as on the device, and is no reason to lock).
#include "service/core/power_notice.h"

#include "service/core/broadcast_rules.h"

namespace service {

namespace {
constexpr uint32_t kPbtResume = 0x00000002u;
constexpr uint32_t kPbtPowerStatusChange = 0x00000004u;
}  // namespace

PowerNotice NoticeOfBroadcast(uint32_t pbtEvent) {
  switch (pbtEvent) {
    case kPbtApmSuspend: return kNoticeSuspend;
    case kPbtApmResumeCritical:
    case kPbtApmResumeSuspend:
    case kPbtApmResumeAutomatic: return kNoticeResume;
    case kPbtApmPowerStatusChange: return kNoticeStatusChange;
    default: return kNoticeNone;
  }
}

PowerNotice NoticeOfDisplay(uint32_t setting, uint32_t value) {
  // A dimmed console display still shows the desktop: nothing to do yet;
  // the "off" that follows locks.
  if (setting != kConsoleDisplayState && setting != kMonitorPowerOn) return kNoticeNone;
  if (value == 0) return kNoticeDisplayOff;
  if (value == 1) return kNoticeDisplayOn;
  return kNoticeNone;
}

bool RecordOfNotice(PowerNotice notice, PowerRecord* record) {
  PowerRecord r = {kPbtTransition, 0, 0};
  switch (notice) {
    case kNoticeSuspend: r.flags = kPowerStateSuspend; break;
    case kNoticeDisplayOff: r.flags = kPowerStateIdle; break;
    case kNoticeResume: r = {kPbtResume, kPowerStateOn, 0}; break;
    case kNoticeDisplayOn: r.flags = kPowerStateOn; break;
    case kNoticeStatusChange: r = {kPbtPowerStatusChange, 0, 0}; break;
    default: return false;
  }
  *record = r;
  return true;
}

}  // namespace service
