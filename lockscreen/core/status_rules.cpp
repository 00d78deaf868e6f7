// What a refresh tick repaints and what the end of a period does.
#include "lockscreen/core/status_rules.h"

#include "shared/core/settings_rules.h"

namespace status {

bool CountsChanged(const Counts& now, Counts& last) {
  if (now.sms == last.sms && now.mail == last.mail && now.missed == last.missed) return false;
  last = now;
  return true;
}

bool DateChanged(int32_t year, int32_t month, int32_t day, DateKey& last) {
  if (last.known && last.year == year && last.month == month && last.day == day) return false;
  last.known = true;
  last.year = year;
  last.month = month;
  last.day = day;
  return true;
}

ClockStep ClockTick(int32_t clockType, int32_t hour, int32_t minute, int32_t& lastHour, int32_t& lastMinute) {
  ClockStep step;
  if (clockType == settings::kAnalogClock) {
    step.callAnalog = true;
  } else if (clockType == settings::kDigitalClock) {
    if (hour != lastHour) {
      ++step.invalidations;
      lastHour = hour;
    }
    if (minute != lastMinute) {
      ++step.invalidations;
      lastMinute = minute;
    }
  }
  return step;
}

void FormatBatteryText(int32_t percent, wchar_t* out, size_t units) {
  if (out == nullptr || units == 0) return;
  // The percentage is a byte (0-254 here), so three places hold it; a value
  // beyond that is clamped rather than widening the text.
  if (percent < 0) percent = 0;
  if (percent > 999) percent = 999;
  wchar_t digits[3] = {L' ', L' ', L' '};
  int i = 2;
  do {
    digits[i--] = static_cast<wchar_t>(L'0' + percent % 10);
    percent /= 10;
  } while (percent > 0 && i >= 0);
  const wchar_t text[] = {L'B', L'[', digits[0], digits[1], digits[2], L'%', L']', 0};
  size_t n = 0;
  for (; n + 1 < units && text[n] != 0; ++n) out[n] = text[n];
  out[n] = 0;
}

bool BatteryReading(bool querySucceeded, uint8_t percent, Battery& battery) {
  if (!querySucceeded || percent == kPercentUnknown) return false;
  if (battery.known && battery.percent == percent) return false;
  FormatBatteryText(percent, battery.text, kBatteryTextUnits);
  battery.percent = percent;
  battery.known = true;
  return true;
}

bool BatteryWarning(const Battery& battery) { return battery.known && battery.percent < kWarningBelow; }

int64_t TicksPerPeriod(int32_t timeOutSeconds) {
  int64_t ticks = static_cast<int64_t>(timeOutSeconds) * kTicksPerSecond;
  return ticks > 0 ? ticks : 0;
}

PeriodEnd AtPeriodEnd(bool querySucceeded, uint8_t acLineStatus) {
  if (querySucceeded && acLineStatus == 0) return PeriodEnd::kGoDark;
  return PeriodEnd::kNewPeriod;
}

}  // namespace status
