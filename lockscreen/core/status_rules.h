// The refresh thread's rules, apart from Win32: which region a tick
// invalidates, the battery text, the period length and what the end of a
// period does. Pure: no <windows.h>.
#pragma once
#include <cstddef>
#include <cstdint>

namespace status {

// A tick's wait on "End_Event"; also the wait of a period without ticks,
// so that TimeOut <= 0 on external power never spins.
constexpr uint32_t kTickMs = 200;
constexpr int64_t kTicksPerSecond = 5;

// --- counts ---------------------------------------------------------------
struct Counts {
  int32_t sms = 0;
  int32_t mail = 0;
  int32_t missed = 0;
};
// True when any count differs from `last`; then all three are copied into
// `last`. One true means one invalidation of the message region.
bool CountsChanged(const Counts& now, Counts& last);

// --- date -------------------------------------------------------------------
// Year, month and day: the same day of another month is another date.
struct DateKey {
  bool known = false;  // nothing seen yet: the first test always repaints
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
};
bool DateChanged(int32_t year, int32_t month, int32_t day, DateKey& last);

// --- clock ------------------------------------------------------------------
struct ClockStep {
  bool callAnalog = false;  // Clock_Type 1: the analog routine redraws itself
  int invalidations = 0;    // Clock_Type 2: clock region repaints (0, 1 or 2)
};
// Hour and minute are tested independently: a new hour with a new minute
// invalidates twice. Any other clock type does nothing.
ClockStep ClockTick(int32_t clockType, int32_t hour, int32_t minute, int32_t& lastHour, int32_t& lastMinute);

// --- battery ----------------------------------------------------------------
constexpr size_t kBatteryTextUnits = 32;
constexpr uint8_t kPercentUnknown = 255;
constexpr int32_t kWarningBelow = 25;

// The percentage starts unknown (text "B[100%]"): the first real reading
// is always written, a real 0 % included, and only a real reading below 25
// is drawn as a warning.
struct Battery {
  bool known = false;
  uint8_t percent = 0;
  wchar_t text[kBatteryTextUnits] = {L'B', L'[', L'1', L'0', L'0', L'%', L']', 0};
};
// "B[%3d%%]" into `out` (bounded by `units`, always terminated).
void FormatBatteryText(int32_t percent, wchar_t* out, size_t units);
// One reading: true when the text changed (then the battery region is
// invalidated). A failed query and 255 change nothing.
bool BatteryReading(bool querySucceeded, uint8_t percent, Battery& battery);
bool BatteryWarning(const Battery& battery);

// --- periods ----------------------------------------------------------------
// TimeOut x 5 in 64 bits, so that a huge TimeOut cannot wrap to a short or
// negative period; 0 or less means a period without ticks.
int64_t TicksPerPeriod(int32_t timeOutSeconds);

enum class PeriodEnd {
  kGoDark,     // on battery: switch the display off and end the thread
  kNewPeriod,  // external power, backup power, or status unknown
};
// AC-line status 0 (offline) goes dark; 1, 2, 255 and a failed query (taken
// as "not available") keep the thread running.
PeriodEnd AtPeriodEnd(bool querySucceeded, uint8_t acLineStatus);

}  // namespace status
