// What the desktop's own power notifications become: the power records
// that the service's pass and the lock screen's power thread already
// understand. Suspend and the console display going off lock; resume, the
// display coming on and a power-status change do not. None of them is ever
// a critical or reset record: on the device those end the service and the
// lock screen, which nothing on a PC may do. Pure: no <windows.h>.
#pragma once
#include <cstdint>

namespace service {

enum PowerNotice {
  kNoticeNone,          // nothing the suite acts on
  kNoticeSuspend,       // sleep or hibernate is about to begin
  kNoticeResume,        // the PC woke up
  kNoticeStatusChange,  // AC plugged or pulled, battery level
  kNoticeDisplayOff,    // the console display went off (screen-off after idle, a closed lid)
  kNoticeDisplayOn,     // it came on again
};

// The WM_POWERBROADCAST codes the desktop sends (wParam).
constexpr uint32_t kPbtApmSuspend = 0x0004;
constexpr uint32_t kPbtApmResumeCritical = 0x0006;
constexpr uint32_t kPbtApmResumeSuspend = 0x0007;
constexpr uint32_t kPbtApmPowerStatusChange = 0x000A;
constexpr uint32_t kPbtApmResumeAutomatic = 0x0012;

PowerNotice NoticeOfBroadcast(uint32_t pbtEvent);

// The two display settings the service registers for: the console display
// state (0 off, 1 on, 2 dimmed) and, where only that exists, the monitor
// power (0 off, 1 on).
enum DisplaySetting : uint32_t {
  kConsoleDisplayState = 0,
  kMonitorPowerOn = 1,
};

PowerNotice NoticeOfDisplay(uint32_t setting, uint32_t value);

// A power-setting change carries a pointer into the receiver's memory, so
// the service's window also takes the display notice as this message of
// its own (wParam the DisplaySetting, lParam the value): the real
// notification is read and handed on as one, and a test or another process
// can drive the same path without a pointer. WM_APP + 0x10.
constexpr uint32_t kDisplayNoticeMessage = 0x8000 + 0x10;

// The record a notice becomes: message kind, power-state flags and the
// length of a state name (none). FALSE for kNoticeNone.
struct PowerRecord {
  uint32_t message;
  uint32_t flags;
  uint32_t length;
};
bool RecordOfNotice(PowerNotice notice, PowerRecord* record);

}  // namespace service
