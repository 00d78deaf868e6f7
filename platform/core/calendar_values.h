// The values the calendar (platform/calendar.h) hands its reader, for the
// pure code on both sides of it: the iCalendar reader that makes them and
// the appointments' rules that take them. Pure: no <windows.h>.
#pragma once

namespace calendar {

constexpr int kSubjectUnits = 64;  // UTF-16 units of a subject, terminator included

// Recurrence types, in POOM's numbers (olRecursDaily ...).
constexpr int kRecursDaily = 0;
constexpr int kRecursWeekly = 1;
constexpr int kRecursMonthly = 2;
constexpr int kRecursMonthNth = 3;
constexpr int kRecursYearly = 5;
constexpr int kRecursYearNth = 6;
// Not a POOM value: a rule the interface cannot express (an interval above
// 1, several weekdays, HOURLY and finer, ...); like a daily series, it keeps
// its first start.
constexpr int kRecursOther = 7;

}  // namespace calendar
