// The iCalendar reader: tables of spellings that must mean the same, and
// half-broken files that must still give a sound calendar.
#include "platform/core/ical_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/ole_date.h"

namespace {

using ical::Item;
using ical::Status;

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  double out = -1e9;
  EXPECT_TRUE(oledate::FromFields(oledate::Fields{y, mo, d, h, mi, s, 0}, &out));
  return out;
}

// The device's zone in these tests: UTC+1 all year.
double PlusOneHour(void*, double utc) { return utc + 1.0 / 24.0; }
double MinusOneHour(void*, double local) { return local - 1.0 / 24.0; }

ical::Calendar g_calendar;  // the last calendar read

Status Read(const std::string& text, std::vector<Item>* items, bool zone = true) {
  ical::Options o{nullptr, zone ? PlusOneHour : nullptr, zone ? MinusOneHour : nullptr, nullptr, nullptr};
  const Status status = ical::Read(reinterpret_cast<const uint8_t*>(text.data()), text.size(), o, &g_calendar);
  *items = g_calendar.items;
  return status;
}

bool IsException(const Item& item, double start) { return ical::IsException(&g_calendar, item, start); }

std::string Calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

std::string Event(const std::string& body) { return "BEGIN:VEVENT\r\n" + body + "END:VEVENT\r\n"; }

std::u16string Subject(const Item& item) { return std::u16string(item.subject); }

std::u16string U(const char* ascii) {
  std::u16string s;
  for (; *ascii; ++ascii) s.push_back(static_cast<char16_t>(*ascii));
  return s;
}

TEST(IcalReader, EquivalentSpellingsOfATimedItem) {
  const char* spellings[] = {
      "BEGIN:VEVENT\r\nDTSTART:20270114T093000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\nDTSTART:20270114T093000\nSUMMARY:Dentist\nEND:VEVENT\n",           // LF only
      "begin:vevent\r\ndtstart:20270114t093000\r\nsummary:Dentist\r\nend:vevent\r\n",   // lower case
      "BEGIN:VEVENT\r\nDTSTART:20270114T083000Z\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n",  // UTC
      "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE-TIME:20270114T093000\r\nSUMMARY:Dent\r\n ist\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nSUMMARY;LANGUAGE=en:Dentist\r\nDTSTART:20270114T093000\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nDTSTART:2027011\r\n 4T093000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n",  // folded value
      "BEGIN:VEVENT\r\nDTSTART;TZID=Nowhere/Unknown:20270114T093000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nBEGIN:VALARM\r\nSUMMARY:Alarm\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n"
      "DTSTART:20270114T093000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n",
  };
  for (const char* body : spellings) {
    std::vector<Item> items;
    ASSERT_EQ(Read(Calendar(body), &items), Status::kOk) << body;
    ASSERT_EQ(items.size(), 1u) << body;
    EXPECT_DOUBLE_EQ(items[0].start, At(2027, 1, 14, 9, 30)) << body;
    EXPECT_FALSE(items[0].allDay);
    EXPECT_FALSE(items[0].recurring);
    EXPECT_EQ(Subject(items[0]), U("Dentist")) << body;
  }
}

TEST(IcalReader, EquivalentSpellingsOfAnAllDayItem) {
  const char* spellings[] = {
      "DTSTART;VALUE=DATE:20270115\r\n",
      "DTSTART;value=date:20270115\r\n",
      "DTSTART:20270115\r\n",
      "DTSTART;VALUE=\"DATE\":20270115\r\n",
  };
  for (const char* line : spellings) {
    std::vector<Item> items;
    ASSERT_EQ(Read(Calendar(Event(std::string(line) + "SUMMARY:Holiday\r\n")), &items), Status::kOk);
    ASSERT_EQ(items.size(), 1u) << line;
    EXPECT_TRUE(items[0].allDay) << line;
    EXPECT_DOUBLE_EQ(items[0].start, At(2027, 1, 15)) << line;
  }
}

TEST(IcalReader, ByteOrderMarkAndBlankLines) {
  std::vector<Item> items;
  ASSERT_EQ(Read("\xEF\xBB\xBF" + Calendar(Event("DTSTART:20270114T093000\r\n")) + "\r\n\r\n", &items), Status::kOk);
  EXPECT_EQ(items.size(), 1u);
  ASSERT_EQ(Read("\r\n  \r\n" + Calendar(Event("DTSTART:20270114T093000\r\n")), &items), Status::kOk);
  EXPECT_EQ(items.size(), 1u);
}

TEST(IcalReader, WhatIsNotACalendar) {
  std::vector<Item> items;
  EXPECT_EQ(Read("Hello world\r\n", &items), Status::kNotCalendar);
  EXPECT_EQ(Read("<html><body>404</body></html>", &items), Status::kNotCalendar);
  EXPECT_EQ(Read("BEGIN:VCARD\r\nEND:VCARD\r\n", &items), Status::kNotCalendar);
  EXPECT_EQ(Read(std::string("\x00\x01\x02\xFF", 4), &items), Status::kNotCalendar);
  // Empty: an empty calendar, as when there is no file.
  EXPECT_EQ(Read("", &items), Status::kOk);
  EXPECT_EQ(Read(" \r\n\n", &items), Status::kOk);
  EXPECT_TRUE(items.empty());
}

TEST(IcalReader, TooBig) {
  std::vector<Item> items;
  std::string big = Calendar("");
  big.resize(ical::kMaxFileBytes + 1, '\n');
  EXPECT_EQ(Read(big, &items), Status::kTooBig);
  big.resize(ical::kMaxFileBytes);
  EXPECT_EQ(Read(big, &items), Status::kOk);
}

TEST(IcalReader, HalfBrokenFilesKeepTheSoundEvents) {
  const std::string good = Event("DTSTART:20270114T093000\r\nSUMMARY:Good\r\n");
  const char* broken[] = {
      "BEGIN:VEVENT\r\nSUMMARY:No start\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nDTSTART:20270231T093000\r\nSUMMARY:31 Feb\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nDTSTART:2027-01-14 09:30\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nDTSTART:20270114T093000\r\nSTATUS:CANCELLED\r\nEND:VEVENT\r\n",
      "BEGIN:VEVENT\r\nDTSTART:20270114T093000\r\nBEGIN:VALARM\r\nEND:VEVENT\r\n",  // mis-nested
      "no colon here\r\n",
      "END:VTODO\r\n",
      ":value without a name\r\n",
  };
  for (const char* b : broken) {
    std::vector<Item> items;
    ASSERT_EQ(Read(Calendar(good + b + good), &items), Status::kOk) << b;
    ASSERT_EQ(items.size(), 2u) << b;
    EXPECT_EQ(Subject(items[1]), U("Good")) << b;
  }
  // Cut off in the middle of the last event: that one is dropped.
  std::vector<Item> items;
  ASSERT_EQ(Read("BEGIN:VCALENDAR\r\n" + good + "BEGIN:VEVENT\r\nDTSTART:20270115T1", &items), Status::kOk);
  EXPECT_EQ(items.size(), 1u);
}

TEST(IcalReader, SortedByStartEqualStartsInFileOrder) {
  std::vector<Item> items;
  ASSERT_EQ(Read(Calendar(Event("DTSTART:20270116T090000\r\nSUMMARY:c\r\n") +
                          Event("DTSTART:20270114T090000\r\nSUMMARY:a1\r\n") +
                          Event("DTSTART:20270114T080000Z\r\nSUMMARY:a2\r\n") +  // the same moment
                          Event("DTSTART;VALUE=DATE:20270114\r\nSUMMARY:all-day\r\n") +
                          Event("DTSTART:20270114T090000\r\nSUMMARY:a3\r\n")),
                 &items),
            Status::kOk);
  ASSERT_EQ(items.size(), 5u);
  const char* order[] = {"all-day", "a1", "a2", "a3", "c"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Subject(items[i]), U(order[i])) << i;
}

TEST(IcalReader, SubjectUnescapingDecodingAndCut) {
  struct Case {
    std::string summary;
    std::u16string subject;
  } cases[] = {
      {"A\\, B\\; C\\\\ D", u"A, B; C\\ D"},
      {"two\\nlines\\Nhere", u"two lines here"},
      {"tab\there", u"tab here"},
      {"caf\xC3\xA9", u"caf\u00E9"},
      {"bad \xC3 byte", u"bad \uFFFD byte"},
      {"overlong \xC0\xAF", u"overlong \uFFFD\uFFFD"},
      {"surrogate \xED\xA0\x80", u"surrogate \uFFFD\uFFFD\uFFFD"},
      {"emoji \xF0\x9F\x8E\x82", u"emoji \U0001F382"},
      {"cut at end \xE2\x82", u"cut at end \uFFFD\uFFFD"},
      {"c1 \xC2\x85 control", u"c1   control"},
  };
  for (const Case& c : cases) {
    std::vector<Item> items;
    ASSERT_EQ(Read(Calendar(Event("DTSTART:20270114T090000\r\nSUMMARY:" + c.summary + "\r\n")), &items), Status::kOk);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(Subject(items[0]), c.subject) << c.summary;
  }
}

TEST(IcalReader, FoldInsideAUtf8SequenceJoinsAtByteLevel) {
  std::vector<Item> items;
  ASSERT_EQ(Read(Calendar(Event("DTSTART:20270114T090000\r\nSUMMARY:caf\xC3\r\n \xA9!\r\n")), &items), Status::kOk);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(Subject(items[0]), u"caf\u00E9!");
}

TEST(IcalReader, SubjectCutAt63UnitsNeverInsideASurrogatePair) {
  char16_t out[calendar::kSubjectUnits];
  std::string s(62, 'a');
  s += "\xF0\x9F\x8E\x82";  // needs units 63 and 64: left out whole
  ical::DecodeSubject(s.data(), s.size(), out);
  EXPECT_EQ(std::u16string(out), std::u16string(62, u'a'));
  s = std::string(61, 'a') + "\xF0\x9F\x8E\x82" + "zzz";
  ical::DecodeSubject(s.data(), s.size(), out);
  EXPECT_EQ(std::u16string(out), std::u16string(61, u'a') + u"\U0001F382");
  s = std::string(500, 'b');
  ical::DecodeSubject(s.data(), s.size(), out);
  EXPECT_EQ(std::u16string(out).size(), 63u);
}

TEST(IcalReader, OverlongLinesAreBounded) {
  std::vector<Item> items;
  const std::string huge(100000, 'x');
  ASSERT_EQ(Read(Calendar(Event("DTSTART:20270114T090000\r\nSUMMARY:" + huge + "\r\nATTACH:" + huge + "\r\n " + huge +
                                "\r\n")),
                 &items),
            Status::kOk);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(Subject(items[0]), std::u16string(63, u'x'));
}

TEST(IcalReader, RecurrenceTypes) {
  struct Case {
    const char* start;  // 2027-01-14 is a Thursday
    const char* rule;
    int type;
  } cases[] = {
      {"20270114T090000", "FREQ=DAILY", calendar::kRecursDaily},
      {"20270114T090000", "FREQ=WEEKLY", calendar::kRecursWeekly},
      {"20270114T090000", "freq=weekly;wkst=MO", calendar::kRecursWeekly},
      {"20270114T090000", "FREQ=WEEKLY;BYDAY=TH", calendar::kRecursWeekly},
      {"20270114T090000", "FREQ=WEEKLY;INTERVAL=1;BYDAY=TH", calendar::kRecursWeekly},
      {"20270114T090000", "FREQ=MONTHLY", calendar::kRecursMonthly},
      {"20270114T090000", "FREQ=MONTHLY;BYMONTHDAY=14", calendar::kRecursMonthly},
      {"20270114T090000", "FREQ=YEARLY", calendar::kRecursYearly},
      {"20270114T090000", "FREQ=YEARLY;BYMONTH=1;BYMONTHDAY=14", calendar::kRecursYearly},
      {"20270114T090000", "FREQ=MONTHLY;BYDAY=2TH", calendar::kRecursMonthNth},
      {"20270114T090000", "FREQ=YEARLY;BYMONTH=1;BYDAY=2TH", calendar::kRecursYearNth},
      // What the interface cannot express keeps the first start.
      {"20270114T090000", "FREQ=WEEKLY;INTERVAL=2", calendar::kRecursOther},
      {"20270114T090000", "FREQ=WEEKLY;BYDAY=TU,TH", calendar::kRecursOther},
      {"20270114T090000", "FREQ=WEEKLY;BYDAY=FR", calendar::kRecursOther},
      {"20270114T090000", "FREQ=MONTHLY;BYMONTHDAY=1", calendar::kRecursOther},
      {"20270114T090000", "FREQ=MONTHLY;BYDAY=TH;BYSETPOS=-1", calendar::kRecursMonthNth},
      {"20270114T090000", "FREQ=MONTHLY;BYSETPOS=1", calendar::kRecursOther},
      {"20270114T090000", "FREQ=HOURLY", calendar::kRecursOther},
      {"20270114T090000", "FREQ=DAILY;INTERVAL=3", calendar::kRecursOther},
      {"20270114T090000", "FREQ=YEARLY;BYMONTH=2", calendar::kRecursOther},
  };
  for (const Case& c : cases) {
    std::vector<Item> items;
    ASSERT_EQ(Read(Calendar(Event(std::string("DTSTART:") + c.start + "\r\nRRULE:" + c.rule + "\r\n")), &items),
              Status::kOk);
    ASSERT_EQ(items.size(), 1u) << c.rule;
    EXPECT_TRUE(items[0].recurring) << c.rule;
    EXPECT_EQ(items[0].recurrenceType, c.type) << c.rule;
    EXPECT_TRUE(items[0].noEndDate) << c.rule;
  }
}

TEST(IcalReader, PatternEnds) {
  struct Case {
    const char* start;
    const char* rule;
    double end;
  } cases[] = {
      {"20270114T090000", "FREQ=DAILY;COUNT=3", At(2027, 1, 16, 9, 0)},
      {"20270114T090000", "FREQ=WEEKLY;COUNT=2", At(2027, 1, 21, 9, 0)},
      {"20270131T090000", "FREQ=MONTHLY;COUNT=3", At(2027, 5, 31, 9, 0)},  // no 31 Feb, 31 Apr
      {"20240229", "FREQ=YEARLY;COUNT=2", At(2028, 2, 29)},
      {"20270114T090000", "FREQ=WEEKLY;COUNT=1", At(2027, 1, 14, 9, 0)},
      {"20270114T090000", "FREQ=WEEKLY;UNTIL=20270201", At(2027, 2, 1, 23, 59, 59)},    // the whole day
      {"20270114T090000", "FREQ=WEEKLY;UNTIL=20270201T080000Z", At(2027, 2, 1, 9, 0)},  // UTC to local
      {"20270114T090000", "FREQ=WEEKLY;UNTIL=20270201T090000", At(2027, 2, 1, 9, 0)},
  };
  for (const Case& c : cases) {
    std::vector<Item> items;
    ASSERT_EQ(Read(Calendar(Event(std::string("DTSTART:") + c.start + "\r\nRRULE:" + c.rule + "\r\n")), &items),
              Status::kOk);
    ASSERT_EQ(items.size(), 1u) << c.rule;
    EXPECT_FALSE(items[0].noEndDate) << c.rule;
    EXPECT_NEAR(items[0].patternEnd, c.end, 1e-9) << c.rule;
  }
  // COUNT beyond the year 9999: no end the calendar can hold.
  std::vector<Item> items;
  ASSERT_EQ(Read(Calendar(Event("DTSTART:20270114T090000\r\nRRULE:FREQ=YEARLY;COUNT=9000\r\n")), &items), Status::kOk);
  EXPECT_TRUE(items[0].noEndDate);
}

const char* kBerlin = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
                      "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:19700329T020000\r\n"
                      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
                      "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nDTSTART:19701025T030000\r\n"
                      "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

TEST(IcalReader, TzidTimesUseTheFilesZone) {
  struct Case {
    const char* start;
    double utc;
  } cases[] = {
      {"20270114T090000", At(2027, 1, 14, 8, 0)},   // winter: +1
      {"20270714T090000", At(2027, 7, 14, 7, 0)},   // summer: +2
      {"20270328T010000", At(2027, 3, 28, 0, 0)},   // before the change (last Sunday of March)
      {"20270328T040000", At(2027, 3, 28, 2, 0)},   // after it
      {"20271031T040000", At(2027, 10, 31, 3, 0)},  // after the change back
  };
  for (const Case& c : cases) {
    for (bool zoneFirst : {true, false}) {
      const std::string ev = Event(std::string("DTSTART;TZID=Europe/Berlin:") + c.start + "\r\n");
      std::vector<Item> items;
      ASSERT_EQ(Read(Calendar(zoneFirst ? kBerlin + ev : ev + kBerlin), &items), Status::kOk);
      ASSERT_EQ(items.size(), 1u);
      EXPECT_NEAR(items[0].start, c.utc + 1.0 / 24.0, 1e-9) << c.start;  // the device is UTC+1
    }
  }
}

TEST(IcalReader, QuotedTzidAndMonthDayStyleRule) {
  const char* zone = "BEGIN:VTIMEZONE\r\nTZID:Eastern\r\n"
                     "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nDTSTART:19671029T020000\r\n"
                     "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=SU;BYMONTHDAY=1,2,3,4,5,6,7\r\nEND:STANDARD\r\n"
                     "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nDTSTART:19870405T020000\r\n"
                     "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
  std::vector<Item> items;
  ASSERT_EQ(Read(Calendar(std::string(zone) + Event("DTSTART;TZID=\"Eastern\":20270601T120000\r\n") +
                          Event("DTSTART;TZID=\"Eastern\":20271201T120000\r\n")),
                 &items),
            Status::kOk);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_NEAR(items[0].start, At(2027, 6, 1, 16, 0) + 1.0 / 24.0, 1e-9);
  EXPECT_NEAR(items[1].start, At(2027, 12, 1, 17, 0) + 1.0 / 24.0, 1e-9);
}

TEST(IcalReader, ExdateAndRecurrenceId) {
  std::vector<Item> items;
  ASSERT_EQ(Read(Calendar(Event("UID:series-1\r\nDTSTART:20270106T100000\r\nRRULE:FREQ=WEEKLY\r\n"
                                "EXDATE:20270113T100000,20270120T100000\r\nEXDATE;VALUE=DATE:20270203\r\n"
                                "SUMMARY:Weekly\r\n") +
                          Event("UID:series-1\r\nRECURRENCE-ID:20270127T100000\r\n"
                                "DTSTART:20270128T150000\r\nSUMMARY:Moved\r\n") +
                          Event("UID:series-1\r\nRECURRENCE-ID:20270210T100000\r\n"
                                "DTSTART:20270210T100000\r\nSTATUS:CANCELLED\r\n")),
                 &items),
            Status::kOk);
  ASSERT_EQ(items.size(), 2u);
  const Item& series = items[0];
  EXPECT_EQ(Subject(series), U("Weekly"));
  EXPECT_TRUE(series.recurring);
  EXPECT_TRUE(IsException(series, At(2027, 1, 13, 10, 0)));
  EXPECT_TRUE(IsException(series, At(2027, 1, 20, 10, 0)));
  EXPECT_TRUE(IsException(series, At(2027, 1, 27, 10, 0)));  // moved
  EXPECT_TRUE(IsException(series, At(2027, 2, 3, 10, 0)));   // the whole day
  EXPECT_TRUE(IsException(series, At(2027, 2, 10, 10, 0)));  // cancelled occurrence
  EXPECT_FALSE(IsException(series, At(2027, 2, 17, 10, 0)));
  EXPECT_FALSE(IsException(series, At(2027, 1, 13, 10, 1)));
  EXPECT_EQ(Subject(items[1]), U("Moved"));
  EXPECT_FALSE(items[1].recurring);
  EXPECT_DOUBLE_EQ(items[1].start, At(2027, 1, 28, 15, 0));
}

TEST(IcalReader, CancelledByCallback) {
  std::string body;
  for (int i = 0; i < 300; ++i) body += Event("DTSTART:20270114T090000\r\n");
  const std::string text = Calendar(body);
  int polls = 0;
  ical::Options o{&polls, nullptr, nullptr, nullptr, [](void* c) { return ++*static_cast<int*>(c) >= 1; }};
  ical::Calendar calendar;
  EXPECT_EQ(ical::Read(reinterpret_cast<const uint8_t*>(text.data()), text.size(), o, &calendar), Status::kCancelled);
  EXPECT_EQ(polls, 1);
  EXPECT_TRUE(calendar.items.empty());
}

TEST(IcalReader, DatesBefore1900) {
  std::vector<Item> items;
  ASSERT_EQ(Read(Calendar(Event("DTSTART;VALUE=DATE:18500115\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Born\r\n")), &items),
            Status::kOk);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_DOUBLE_EQ(items[0].start, At(1850, 1, 15));
  EXPECT_LT(items[0].start, 0.0);
  EXPECT_EQ(items[0].recurrenceType, calendar::kRecursYearly);
}

}  // namespace

namespace {

// The COUNT-th occurrence of a monthly (step 1) or yearly (step 12) series
// by walking month by month.
double BruteCountEnd(int y, int m, int d, int h, long count, int step) {
  long found = 1;
  int64_t month = y * 12LL + (m - 1);
  while (found < count) {
    month += step;
    if (d <= oledate::DaysInMonth(static_cast<int>(month / 12), static_cast<int>(month % 12) + 1)) ++found;
  }
  return At(static_cast<int>(month / 12), static_cast<int>(month % 12) + 1, d, h);
}

TEST(IcalReader, LongCountsMatchAMonthByMonthWalk) {
  struct Case {
    const char* start;
    int y, m, d, h;
    const char* freq;
    long count;
  } cases[] = {
      {"20270131T090000", 2027, 1, 31, 9, "MONTHLY", 5000}, {"20270129T090000", 2027, 1, 29, 9, "MONTHLY", 9001},
      {"20270130T090000", 2027, 1, 30, 9, "MONTHLY", 4401}, {"20270128T090000", 2027, 1, 28, 9, "MONTHLY", 4801},
      {"20280229T090000", 2028, 2, 29, 9, "YEARLY", 300},   {"20280229T090000", 2028, 2, 29, 9, "YEARLY", 98},
      {"20270314T090000", 2027, 3, 14, 9, "YEARLY", 1234},
  };
  for (const Case& c : cases) {
    std::vector<Item> items;
    const std::string rule = std::string("FREQ=") + c.freq + ";COUNT=" + std::to_string(c.count);
    ASSERT_EQ(Read(Calendar(Event(std::string("DTSTART:") + c.start + "\r\nRRULE:" + rule + "\r\n")), &items),
              Status::kOk);
    ASSERT_EQ(items.size(), 1u);
    ASSERT_FALSE(items[0].noEndDate) << rule;
    const int step = std::string(c.freq) == "MONTHLY" ? 1 : 12;
    EXPECT_DOUBLE_EQ(items[0].patternEnd, BruteCountEnd(c.y, c.m, c.d, c.h, c.count, step)) << rule;
  }
}

}  // namespace
