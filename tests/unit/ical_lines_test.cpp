// Calendars as the owner sees them: small calendars written for the test,
// read and walked at a fixed moment on a device in New York (daylight
// saving time) or at UTC+1, and the panel's lines compared with lines
// worked out by hand. One table per point: series on their own clock, zone
// definitions of any length, zone names without a definition, half-broken
// files, each occurrence once, several calendars.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "lockscreen/core/appointment_rules.h"
#include "platform/core/ical_reader.h"
#include "tests/unit/ical_walk.h"

namespace {

using ical::Item;

double At(int y, int mo, int d, int h = 0, int mi = 0) {
  double out = -1e9;
  EXPECT_TRUE(oledate::FromFields(oledate::Fields{y, mo, d, h, mi, 0, 0}, &out));
  return out;
}

// New York: EST, and EDT between these UTC instants.
struct Span {
  double from, to;
};
const Span kEdt[] = {{At(2020, 3, 8, 7), At(2020, 11, 1, 6)},
                     {At(2026, 3, 8, 7), At(2026, 11, 1, 6)},
                     {At(2027, 3, 14, 7), At(2027, 11, 7, 6)},
                     {At(2028, 3, 12, 7), At(2028, 11, 5, 6)}};
double NewYorkOfUtc(void*, double utc) {
  for (const Span& s : kEdt)
    if (utc >= s.from - 1e-9 && utc < s.to - 1e-9) return utc - 4.0 / 24;
  return utc - 5.0 / 24;
}
double UtcOfNewYork(void*, double local) {
  const double standard = local + 5.0 / 24;
  return std::fabs(NewYorkOfUtc(nullptr, standard) - local) < 1e-9 ? standard : local + 4.0 / 24;
}
double PlusOneOfUtc(void*, double utc) { return utc + 1.0 / 24; }
double UtcOfPlusOne(void*, double local) { return local - 1.0 / 24; }

// The system's zone data as a Windows registry has it, for three zones.
bool SystemZone(void*, const char* name, int, ical::SystemRules* out) {
  static const struct {
    const char* name;
    ical::SystemRules rules;
  } kZones[] = {
      {"W. Europe Standard Time", {-60, 0, -60, {0, 10, 0, 5, 3, 0, 0}, {0, 3, 0, 5, 2, 0, 0}}},
      {"Eastern Standard Time", {300, 0, -60, {0, 11, 0, 1, 2, 0, 0}, {0, 3, 0, 2, 2, 0, 0}}},
      {"UTC", {0, 0, 0, {}, {}}},
  };
  for (const auto& z : kZones)
    if (std::string(z.name) == name) {
      *out = z.rules;
      return true;
    }
  return false;
}

enum Device { kNewYork, kPlusOne };

std::string LineOf(const appt::Row& row) {
  oledate::Fields f{};
  EXPECT_TRUE(oledate::ToFields(row.start, &f));
  char head[64];
  if (row.allDay) snprintf(head, sizeof head, "%04d-%02d-%02d all-day ", f.year, f.month, f.day);
  else snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d ", f.year, f.month, f.day, f.hour, f.minute);
  std::string line = head;
  for (int i = 0; row.subject[i] != 0; ++i)
    line.push_back(row.subject[i] < 128 ? static_cast<char>(row.subject[i]) : '?');
  return line;
}

// The panel's lines for the calendar files at `now` (device time).
std::vector<std::string> Lines(const std::vector<std::string>& files, Device device, double now) {
  std::vector<ical::FileBytes> bytes;
  for (const std::string& f : files)
    bytes.push_back(ical::FileBytes{reinterpret_cast<const uint8_t*>(f.data()), f.size()});
  const bool ny = device == kNewYork;
  ical::Options options{nullptr, ny ? NewYorkOfUtc : PlusOneOfUtc, ny ? UtcOfNewYork : UtcOfPlusOne, SystemZone,
                        nullptr};
  ical::Calendar calendar;
  ical::ReadFiles(bytes.data(), bytes.size(), options, &calendar, nullptr);
  appt::Row rows[appt::kCapacity] = {}, table[appt::kTableRows];
  int recurring;
  const int filled = icalwalk::Walk(&calendar, now, rows, &recurring);
  appt::Publish(rows, filled, table, appt::kTableRows);
  std::vector<std::string> lines;
  for (int k = 0; k < filled; ++k) lines.push_back(LineOf(table[k]));
  return lines;
}

std::string Calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + body + "END:VCALENDAR\r\n";
}
std::string Event(const std::string& body) { return "BEGIN:VEVENT\r\n" + body + "END:VEVENT\r\n"; }

const std::string kBerlin = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
                            "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:19810329T020000\r\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
                            "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nDTSTART:19961027T030000\r\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

struct Case {
  const char* what;
  std::vector<std::string> files;
  Device device;
  double now;
  std::vector<std::string> lines;
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Lines(c.files, c.device, c.now), c.lines) << c.what;
}

// A weekly series in UTC on Mondays at 14:00 since a winter Monday, with
// extra lines.
std::string UtcMondays(const std::string& extra) {
  return Calendar(Event("UID:m\r\nDTSTART:20260105T140000Z\r\nRRULE:FREQ=WEEKLY" + extra + "SUMMARY:Call\r\n"));
}

TEST(CalendarLines, SeriesKeepTheirOwnWallClockTime) {
  Check({
      {"Berlin 09:00 on a Monday between the American and the European change",
       {Calendar(kBerlin + Event("UID:b\r\nDTSTART;TZID=Europe/Berlin:20260105T090000\r\nRRULE:FREQ=WEEKLY\r\n"
                                 "SUMMARY:Berlin\r\n"))},
       kNewYork,
       At(2027, 3, 17, 10),
       {"2027-03-22 04:00 Berlin"}},
      {"UTC 14:00 in the American summer",
       {UtcMondays("\r\n")},
       kNewYork,
       At(2027, 7, 14, 10),
       {"2027-07-19 10:00 Call"}},
      {"UTC 14:00 in the American winter",
       {UtcMondays("\r\n")},
       kNewYork,
       At(2027, 1, 13, 10),
       {"2027-01-18 09:00 Call"}},
      {"an occurrence after UNTIL is not shown",
       {UtcMondays(";UNTIL=20270719T133000Z\r\n")},
       kNewYork,
       At(2027, 7, 14, 10),
       {}},
      {"the last occurrence at UNTIL is shown",
       {UtcMondays(";UNTIL=20270719T140000Z\r\n")},
       kNewYork,
       At(2027, 7, 14, 10),
       {"2027-07-19 10:00 Call"}},
      {"an EXDATE removes its occurrence",
       {UtcMondays("\r\nEXDATE:20270719T140000Z\r\n")},
       kNewYork,
       At(2027, 7, 14, 10),
       {}},
      {"an EXDATE in another zone removes it too",
       {Calendar(kBerlin + Event("UID:m\r\nDTSTART:20260105T140000Z\r\nRRULE:FREQ=WEEKLY\r\n"
                                 "EXDATE;TZID=Europe/Berlin:20270719T160000\r\nSUMMARY:Call\r\n"))},
       kNewYork,
       At(2027, 7, 14, 10),
       {}},
      {"a RECURRENCE-ID moves its occurrence once",
       {UtcMondays("\r\n") + Calendar(Event("UID:m\r\nRECURRENCE-ID:20270719T140000Z\r\n"
                                            "DTSTART:20270720T140000Z\r\nSUMMARY:Call on Tuesday\r\n"))},
       kNewYork,
       At(2027, 7, 14, 10),
       {"2027-07-20 10:00 Call on Tuesday"}},
      {"monthly in Berlin on the 20th at 18:00",
       {Calendar(kBerlin + Event("UID:r\r\nDTSTART;TZID=Europe/Berlin:20260120T180000\r\nRRULE:FREQ=MONTHLY\r\n"
                                 "SUMMARY:Rent\r\n"))},
       kNewYork,
       At(2027, 3, 17, 10),
       {"2027-03-20 13:00 Rent"}},
      {"yearly in UTC, first start in the American summer time",
       {Calendar(Event("UID:y\r\nDTSTART:20200310T150000Z\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Audit\r\n"))},
       kNewYork,
       At(2027, 3, 8, 10),
       {"2027-03-10 10:00 Audit"}},
      {"a floating series stays on the device's clock",
       {Calendar(Event("UID:f\r\nDTSTART:20260105T090000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Gym\r\n"))},
       kNewYork,
       At(2027, 7, 14, 10),
       {"2027-07-19 09:00 Gym"}},
      {"Monday 02:00 in Berlin is Sunday evening in New York: Sunday's line",
       {Calendar(kBerlin + Event("UID:s\r\nDTSTART;TZID=Europe/Berlin:20260105T020000\r\nRRULE:FREQ=WEEKLY\r\n"
                                 "SUMMARY:Backup\r\n"))},
       kNewYork,
       At(2027, 7, 14, 10),
       {"2027-07-18 20:00 Backup"}},
  });
}

// One zone, written three ways with its whole history: 200 observances
// without a rule (1960-2059, oldest first or newest first), or two
// observances with RDATE lists. Summer +2, winter +1.
std::string LongZone(int form) {
  std::string daylight, standard, zone = "BEGIN:VTIMEZONE\r\nTZID:Long/History\r\n";
  for (int year = 1960; year < 2060; ++year) {
    const int y = form == 1 ? 4019 - year : year;  // newest first
    const std::string d = std::to_string(y) + "0329T020000", s = std::to_string(y) + "1025T030000";
    if (form == 2) {
      daylight += (daylight.empty() ? "" : ",") + d;
      standard += (standard.empty() ? "" : ",") + s;
      continue;
    }
    zone += "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:" + d + "\r\nEND:DAYLIGHT\r\n";
    zone += "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nDTSTART:" + s + "\r\nEND:STANDARD\r\n";
  }
  if (form == 2)
    zone += "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:19600329T020000\r\nRDATE:" + daylight +
            "\r\nEND:DAYLIGHT\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
            "DTSTART:19601025T030000\r\nRDATE:" +
            standard + "\r\nEND:STANDARD\r\n";
  return zone + "END:VTIMEZONE\r\n";
}

TEST(CalendarLines, ZoneDefinitionsOfAnyLength) {
  const std::string events = Event("DTSTART;TZID=Long/History:20270714T090000\r\nSUMMARY:Summer\r\n") +
                             Event("DTSTART;TZID=Long/History:20270716T090000\r\nSUMMARY:Later\r\n");
  for (int form = 0; form < 3; ++form)
    Check({{form == 0   ? "oldest first"
            : form == 1 ? "newest first"
                        : "RDATE lists",
            {Calendar(LongZone(form) + events)},
            kPlusOne,
            At(2027, 7, 14, 8),
            {"2027-07-14 08:00 Summer", "2027-07-16 08:00 Later"}}});
  // Far more changes than any zone has: memory stays bounded, the newest
  // changes are kept.
  std::string huge = "BEGIN:STANDARD\r\nTZOFFSETFROM:+0500\r\nTZOFFSETTO:+0500\r\nDTSTART:18990101T000000\r\n";
  for (int line = 0; line < 300; ++line) {
    huge += "RDATE:19000101T000000";
    for (int k = 1; k < 200; ++k) huge += ",19000101T000000";
    huge += "\r\n";
  }
  std::string zone = kBerlin;
  zone.replace(zone.find("Europe/Berlin"), 13, "Huge");
  zone.insert(zone.find("END:VTIMEZONE"), huge + "END:STANDARD\r\n");
  const std::string text = Calendar(zone + Event("DTSTART;TZID=Huge:20270714T090000\r\nSUMMARY:x\r\n"));
  Check({{"a zone of 60000 changes", {text}, kPlusOne, At(2027, 7, 14, 7), {"2027-07-14 08:00 x"}}});
  ical::Calendar calendar;
  const ical::Options options{nullptr, PlusOneOfUtc, UtcOfPlusOne, nullptr, nullptr};
  ASSERT_EQ(ical::Read(reinterpret_cast<const uint8_t*>(text.data()), text.size(), options, &calendar),
            ical::Status::kOk);
  ASSERT_EQ(calendar.clocks.zones.size(), 1u);
  EXPECT_EQ(calendar.clocks.zones[0].onsets.size(), ical::kMaxZoneOnsets);
}

TEST(CalendarLines, ZoneNamesWithoutADefinition) {
  struct Name {
    const char* tzid;
    const char* line;
  } names[] = {
      {"Europe/Berlin", "2027-07-14 08:00 x"},  // 09:00 CEST is 07:00 UTC
      {"europe/berlin", "2027-07-14 08:00 x"},
      {"/mozilla.org/20050126_1/Europe/Berlin", "2027-07-14 08:00 x"},
      {"W. Europe Standard Time", "2027-07-14 08:00 x"},
      {"America/New_York", "2027-07-14 14:00 x"},
      {"Etc/UTC", "2027-07-14 10:00 x"},
      {"Mars/Olympus_Mons", "2027-07-14 09:00 x"},  // nobody knows it: device time
  };
  for (const Name& n : names)
    Check({{n.tzid,
            {Calendar(Event(std::string("DTSTART;TZID=") + n.tzid + ":20270714T090000\r\nSUMMARY:x\r\n"))},
            kPlusOne,
            At(2027, 7, 14, 7),
            {n.line}}});
  Check({{"winter in Berlin by the system's rules",
          {Calendar(Event("DTSTART;TZID=Europe/Berlin:20270114T090000\r\nSUMMARY:x\r\n"))},
          kPlusOne,
          At(2027, 1, 14, 7),
          {"2027-01-14 09:00 x"}}});
}

TEST(CalendarLines, HalfBrokenFilesLoseNoEvents) {
  const std::string next = Event("DTSTART:20270115T100000\r\nSUMMARY:Next\r\n");
  auto lines = [](const char* first) { return std::vector<std::string>{first, "2027-01-15 10:00 Next"}; };
  Check({
      {"an empty RRULE is no rule",
       {Calendar(Event("DTSTART:20270114T093000\r\nRRULE:\r\nSUMMARY:Once\r\n") + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       lines("2027-01-14 09:30 Once")},
      {"an unknown FREQ keeps the first start",
       {Calendar(Event("DTSTART:20270114T093000\r\nRRULE:FREQ=SOMETIMES\r\nSUMMARY:First\r\n") + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       lines("2027-01-14 09:30 First")},
      {"a negative COUNT keeps the first start",
       {Calendar(Event("DTSTART:20270114T093000\r\nRRULE:FREQ=WEEKLY;COUNT=-3\r\nSUMMARY:First\r\n") + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       lines("2027-01-14 09:30 First")},
      {"an unreadable rule is not projected",
       {Calendar(Event("DTSTART:20260114T093000\r\nRRULE:FREQ=WEEKLY;COUNT=x\r\nSUMMARY:Old\r\n") + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-15 10:00 Next"}},
      {"END:VTOOD swallows nothing",
       {Calendar("BEGIN:VTODO\r\nSUMMARY:Todo\r\nEND:VTOOD\r\n" +
                 Event("DTSTART:20270114T093000\r\nSUMMARY:After\r\n") + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       lines("2027-01-14 09:30 After")},
      {"a mistyped END:VEVENT keeps its event",
       {Calendar("BEGIN:VEVENT\r\nDTSTART:20270114T093000\r\nSUMMARY:Kept\r\nEND:VEVNT\r\n" + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       lines("2027-01-14 09:30 Kept")},
      {"a blank line inside a folded property",
       {Calendar(Event("DTSTART:20270114T093000\r\nSUMMARY:Team\r\n\r\n  meeting\r\n") + next)},
       kPlusOne,
       At(2027, 1, 13, 10),
       lines("2027-01-14 09:30 Team meeting")},
  });
}

// A weekly series on Wednesdays at 10:00 since June (floating).
std::string Standup(const std::string& more) {
  return Calendar(Event("UID:s\r\nDTSTART:20260603T100000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Standup\r\n") + more);
}

TEST(CalendarLines, EachOccurrenceOnce) {
  const std::string moved =
      Event("UID:s\r\nRECURRENCE-ID;RANGE=THISANDFUTURE:20270113T100000\r\nDTSTART:20270113T143000\r\n"
            "SUMMARY:Standup (afternoon)\r\n");
  Check({
      {"versions: the highest SEQUENCE counts",
       {Calendar(Event("UID:v\r\nSEQUENCE:2\r\nDTSTART:20270114T110000\r\nSUMMARY:New\r\n") +
                 Event("UID:v\r\nSEQUENCE:1\r\nDTSTART:20270114T090000\r\nSUMMARY:Old\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-14 11:00 New"}},
      {"versions: then the latest DTSTAMP",
       {Calendar(Event("UID:v\r\nDTSTAMP:20270110T080000Z\r\nDTSTART:20270114T110000\r\nSUMMARY:New\r\n") +
                 Event("UID:v\r\nDTSTAMP:20270101T080000Z\r\nDTSTART:20270114T090000\r\nSUMMARY:Old\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-14 11:00 New"}},
      {"versions in two calendars",
       {Calendar(Event("UID:v\r\nDTSTART:20270114T090000\r\nSUMMARY:Old\r\n")),
        Calendar(Event("UID:v\r\nSEQUENCE:1\r\nDTSTART:20270114T110000\r\nSUMMARY:New\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-14 11:00 New"}},
      {"a cancelled newest version removes the event",
       {Calendar(Event("UID:v\r\nDTSTART:20270114T090000\r\nSUMMARY:Old\r\n") +
                 Event("UID:v\r\nSEQUENCE:1\r\nSTATUS:CANCELLED\r\nDTSTART:20270114T090000\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {}},
      {"a cancelled series takes its overrides along",
       {Standup("") + Calendar(Event("UID:s\r\nSEQUENCE:1\r\nSTATUS:CANCELLED\r\nDTSTART:20260603T100000\r\n"
                                     "RRULE:FREQ=WEEKLY\r\n") +
                               Event("UID:s\r\nRECURRENCE-ID:20270113T100000\r\nDTSTART:20270114T100000\r\n"
                                     "SUMMARY:Standup on Thursday\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 8),
       {}},
      {"an override in UTC moves a Berlin occurrence",
       {Calendar(kBerlin +
                 Event("UID:w\r\nDTSTART;TZID=Europe/Berlin:20260603T110000\r\nRRULE:FREQ=WEEKLY\r\n"
                       "SUMMARY:Weekly\r\n") +
                 Event("UID:w\r\nRECURRENCE-ID:20270113T100000Z\r\nDTSTART;TZID=Europe/Berlin:20270114T150000\r\n"
                       "SUMMARY:Moved\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-14 15:00 Moved"}},
      {"THISANDFUTURE: before the move", {Standup(moved)}, kPlusOne, At(2027, 1, 6, 8), {"2027-01-06 10:00 Standup"}},
      {"THISANDFUTURE: the moved occurrence",
       {Standup(moved)},
       kPlusOne,
       At(2027, 1, 13, 8),
       {"2027-01-13 14:30 Standup (afternoon)"}},
      {"THISANDFUTURE: every later one",
       {Standup(moved)},
       kPlusOne,
       At(2027, 3, 10, 8),
       {"2027-03-10 14:30 Standup (afternoon)"}},
      {"THISANDFUTURE: an EXDATE after the move",
       {Standup(moved + Event("UID:s\r\nRECURRENCE-ID:20270310T100000\r\nSTATUS:CANCELLED\r\n"
                              "DTSTART:20270310T100000\r\n"))},
       kPlusOne,
       At(2027, 3, 10, 8),
       {}},
      {"a lunar RSCALE keeps the first start",
       {Calendar(Event("UID:l\r\nDTSTART;VALUE=DATE:20200115\r\nRRULE:RSCALE=CHINESE;FREQ=YEARLY\r\n"
                       "SUMMARY:Lunar\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {}},
      {"a Gregorian RSCALE is the usual rule",
       {Calendar(Event("UID:g\r\nDTSTART;VALUE=DATE:20200115\r\nRRULE:RSCALE=GREGORIAN;FREQ=YEARLY\r\n"
                       "SUMMARY:Solar\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-15 all-day Solar"}},
  });
}

TEST(CalendarLines, SeveralCalendarsInOneList) {
  Check({
      {"items of every file, in order",
       {Calendar(Event("DTSTART:20270115T100000\r\nSUMMARY:Home\r\n")),
        Calendar(Event("DTSTART:20270114T100000\r\nSUMMARY:Work\r\n")),
        "\xEF\xBB\xBF" + Calendar(Event("DTSTART;VALUE=DATE:20270116\r\nSUMMARY:Club\r\n"))},
       kPlusOne,
       At(2027, 1, 13, 10),
       {"2027-01-14 10:00 Work", "2027-01-15 10:00 Home", "2027-01-16 all-day Club"}},
      {"a zone defined in one file is not another file's",
       {Calendar(LongZone(0)), Calendar(Event("DTSTART;TZID=Long/History:20270714T090000\r\nSUMMARY:x\r\n"))},
       kPlusOne,
       At(2027, 7, 14, 7),
       {"2027-07-14 09:00 x"}},
  });
  // A broken file adds nothing and is reported; the others are read.
  const std::string good = Calendar(Event("DTSTART:20270114T100000\r\nSUMMARY:Good\r\n"));
  std::string big = good;
  big.resize(ical::kMaxFileBytes + 1, '\n');
  const std::string texts[] = {"<html>no calendar</html>", good, big};
  ical::FileBytes files[3];
  for (int i = 0; i < 3; ++i) files[i] = {reinterpret_cast<const uint8_t*>(texts[i].data()), texts[i].size()};
  ical::Calendar calendar;
  ical::Status each[3];
  const ical::Options options{nullptr, PlusOneOfUtc, UtcOfPlusOne, nullptr, nullptr};
  EXPECT_EQ(ical::ReadFiles(files, 3, options, &calendar, each), ical::Status::kNotCalendar);
  EXPECT_EQ(each[0], ical::Status::kNotCalendar);
  EXPECT_EQ(each[1], ical::Status::kOk);
  EXPECT_EQ(each[2], ical::Status::kTooBig);
  EXPECT_EQ(calendar.items.size(), 1u);
}

TEST(CalendarZones, SystemRulesOffsets) {
  const ical::SystemRules eastern{300, 0, -60, {0, 11, 0, 1, 2, 0, 0}, {0, 3, 0, 2, 2, 0, 0}};
  const ical::SystemRules sydney{-600, 0, -60, {0, 4, 0, 1, 3, 0, 0}, {0, 10, 0, 1, 2, 0, 0}};
  const ical::SystemRules fixedDates{-60, 0, -60, {2027, 10, 0, 31, 3, 0, 0}, {2027, 3, 0, 28, 2, 0, 0}};
  struct Case {
    const ical::SystemRules* rules;
    int y, mo, d, h, mi;
    int offsetHours;
  } cases[] = {
      {&eastern, 2027, 3, 14, 1, 59, -5}, {&eastern, 2027, 3, 14, 3, 0, -4},  // second Sunday of March
      {&eastern, 2027, 11, 7, 0, 59, -4}, {&eastern, 2027, 11, 7, 2, 0, -5},  // first Sunday of November
      {&sydney, 2027, 1, 10, 12, 0, 11},  {&sydney, 2027, 7, 10, 12, 0, 10},  // southern summer and winter
      {&sydney, 2027, 10, 3, 2, 0, 11},   {&sydney, 2027, 4, 4, 3, 0, 10},
      {&fixedDates, 2027, 7, 1, 0, 0, 2}, {&fixedDates, 2028, 7, 1, 0, 0, 1},  // dates of one year only
  };
  for (const Case& c : cases) {
    const int64_t wall = oledate::DayNumber(c.y, c.mo, c.d) * 86400 + c.h * 3600 + c.mi * 60;
    EXPECT_EQ(ical::SystemOffset(*c.rules, c.y, wall), c.offsetHours * 3600) << c.y << "-" << c.mo << "-" << c.d;
  }
}

}  // namespace
