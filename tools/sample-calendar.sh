#!/usr/bin/env bash
# Writes a small sample calendar (iCalendar) for the demo, relative to the
# demo's pinned clock, so that the lock screen's appointment panel shows the
# same week whatever the day the demo runs on: a timed item later today, one
# tomorrow, an all-day item, a weekly, a monthly and a yearly series, and
# one item beyond the seven-day window (not listed).
# Usage: tools/sample-calendar.sh "YYYY-MM-DD HH:MM:SS" OUT.ics
# The lock screen reads %APPDATA%\Ombrevale\Calendar.ics; under Wine that is
# $WINEPREFIX/drive_c/users/$USER/AppData/Roaming/Ombrevale/Calendar.ics.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 \"YYYY-MM-DD HH:MM:SS\" OUT.ics" >&2
  exit 2
fi
now=$1
out=$2
base=$(date -u -d "$now" +%Y-%m-%d) || { echo "not a date: $now" >&2; exit 2; }

day() { date -u -d "$base $1 day" +%Y%m%d; }                # YYYYMMDD, $1 days from the clock's day
epoch=$(date -u -d "$now" +%s)
stamp() { date -u -d "@$((epoch + $1))" +%Y%m%dT%H%M00; }      # floating local time, $1 seconds from the clock

# The monthly series falls three days ahead; a day above 28 would not exist
# in every month, so the series then moves to the 28th.
monthly_day=$(date -u -d "$base 3 day" +%d)
if [ "$monthly_day" -gt 28 ]; then monthly_day=28; fi
monthly_start="$(date -u -d "$base -100 day" +%Y%m)${monthly_day}T140000"
weekly_start="$(day -27)T083000"      # the weekday of tomorrow, weeks ago
yearly_start="1985$(date -u -d "$base 5 day" +%m%d)"

mkdir -p "$(dirname "$out")"
{
  printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Ombrevale//sample calendar//EN\r\n'
  ev() {  # uid, DTSTART line, summary, optional RRULE
    printf 'BEGIN:VEVENT\r\nUID:sample-%s@ombrevale\r\nDTSTAMP:%sZ\r\n%s\r\nSUMMARY:%s\r\n' "$1" "$(stamp 0)" "$2" "$3"
    if [ -n "${4:-}" ]; then printf 'RRULE:%s\r\n' "$4"; fi
    printf 'END:VEVENT\r\n'
  }
  ev 1 "DTSTART;VALUE=DATE:$yearly_start" "Ada's birthday" "FREQ=YEARLY"
  ev 2 "DTSTART:$weekly_start" "Team stand-up" "FREQ=WEEKLY"
  ev 3 "DTSTART:$monthly_start" "Pay the rent" "FREQ=MONTHLY"
  ev 4 "DTSTART:$(stamp -10800)" "Breakfast meeting"
  ev 5 "DTSTART:$(stamp 7200)" "Call the garage"
  ev 6 "DTSTART:$(day 1)T093000" "Dentist"
  ev 7 "DTSTART;VALUE=DATE:$(day 2)" "Bank holiday"
  ev 8 "DTSTART:$(day 12)T100000" "Conference"
  printf 'END:VCALENDAR\r\n'
} >"$out"
