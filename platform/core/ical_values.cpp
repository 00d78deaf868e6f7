// Parsers of the iCalendar values the reader uses; see ical_values.h.
// Lenient where common exporters differ (case, blanks, a date without
// VALUE=DATE), strict about dates that do not exist.
#include "platform/core/ical_values.h"

#include <cstdlib>

#include "platform/core/ole_date.h"
#include "platform/core/ical_reader.h"

namespace ical {

// A rule whose INTERVAL or COUNT lies beyond these is not read as a rule.
constexpr long kMaxInterval = 1000000;
constexpr long kMaxCount = 100000000;

static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != 0; ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return i == a.size() && b[i] == 0;
}

static std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    const size_t comma = text.find(',', from);
    parts.push_back(Trim(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return parts;
}

int64_t WallSeconds(const RawTime& t) {
  return oledate::DayNumber(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

static bool Digits(const std::string& s, size_t at, int n, int* value) {
  if (at + n > s.size()) return false;
  int v = 0;
  for (int i = 0; i < n; ++i) {
    const char c = s[at + i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

bool ParseTime(const std::string& raw, RawTime* out) {
  const std::string s = Trim(raw);
  RawTime t{};
  if (!Digits(s, 0, 4, &t.year) || !Digits(s, 4, 2, &t.month) || !Digits(s, 6, 2, &t.day)) return false;
  if (s.size() == 8) {
    t.dateOnly = true;
  } else {
    if (s.size() < 15 || (s[8] != 'T' && s[8] != 't')) return false;
    if (!Digits(s, 9, 2, &t.hour) || !Digits(s, 11, 2, &t.minute) || !Digits(s, 13, 2, &t.second)) return false;
    if (s.size() == 16 && (s[15] == 'Z' || s[15] == 'z')) t.utc = true;
    else if (s.size() != 15) return false;
    if (t.second == 60) t.second = 59;  // a leap second
  }
  oledate::Fields f{t.year, t.month, t.day, t.hour, t.minute, t.second, 0};
  if (!oledate::Valid(f)) return false;
  *out = t;
  return true;
}

static bool Number(const std::string& s, long lo, long hi, long* out) {
  if (s.empty() || s.size() > 9) return false;
  size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (i == s.size()) return false;
  for (size_t k = i; k < s.size(); ++k)
    if (s[k] < '0' || s[k] > '9') return false;
  const long v = std::strtol(s.c_str(), nullptr, 10);
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

static int WeekdayCode(const std::string& s) {
  static const char* kCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
  for (int i = 0; i < 7; ++i)
    if (SameName(s, kCodes[i])) return i;
  return -1;
}

bool ParseRule(const std::string& text, RawRule* out) {
  RawRule r{};
  r.interval = 1;
  size_t from = 0;
  while (from <= text.size()) {
    size_t semi = text.find(';', from);
    if (semi == std::string::npos) semi = text.size();
    const std::string part = Trim(text.substr(from, semi - from));
    from = semi + 1;
    if (part.empty()) continue;
    const size_t eq = part.find('=');
    if (eq == std::string::npos) return false;
    const std::string name = Trim(part.substr(0, eq));
    const std::string value = Trim(part.substr(eq + 1));
    long v;
    if (SameName(name, "FREQ")) {
      for (char c : value) r.freq.push_back(Upper(c));
    } else if (SameName(name, "INTERVAL")) {
      if (!Number(value, 1, kMaxInterval, &v)) return false;
      r.interval = static_cast<int>(v);
    } else if (SameName(name, "COUNT")) {
      if (!Number(value, 1, kMaxCount, &v)) return false;
      r.hasCount = true;
      r.count = v;
    } else if (SameName(name, "UNTIL")) {
      if (!ParseTime(value, &r.until)) return false;
      r.hasUntil = true;
    } else if (SameName(name, "BYDAY")) {
      for (const std::string& d : SplitCommas(value)) {
        if (d.size() < 2) return false;
        ByDay b{0, WeekdayCode(d.substr(d.size() - 2))};
        if (b.weekday < 0) return false;
        if (d.size() > 2) {
          if (!Number(d.substr(0, d.size() - 2), -53, 53, &v) || v == 0) return false;
          b.ordinal = static_cast<int>(v);
        }
        r.byDay.push_back(b);
      }
    } else if (SameName(name, "BYMONTHDAY")) {
      for (const std::string& d : SplitCommas(value)) {
        if (!Number(d, -31, 31, &v) || v == 0) return false;
        r.byMonthDay.push_back(static_cast<int>(v));
      }
    } else if (SameName(name, "BYMONTH")) {
      for (const std::string& d : SplitCommas(value)) {
        if (!Number(d, 1, 12, &v)) return false;
        r.byMonth.push_back(static_cast<int>(v));
      }
    } else if (SameName(name, "BYSETPOS") || SameName(name, "BYYEARDAY") || SameName(name, "BYWEEKNO") ||
               SameName(name, "BYHOUR") || SameName(name, "BYMINUTE") || SameName(name, "BYSECOND")) {
      r.otherParts = true;
    } else if (SameName(name, "RSCALE")) {
      // A lunar or other calendar's months are not the Gregorian months
      // the pattern would be projected onto.
      if (!SameName(value, "GREGORIAN")) r.otherParts = true;
    } else if (SameName(name, "SKIP")) {
      r.skipMoves = !SameName(value, "OMIT");
    }
    // WKST and unknown parts change nothing the lock screen shows.
  }
  static const char* kFreqs[7] = {"SECONDLY", "MINUTELY", "HOURLY", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
  bool known = false;
  for (const char* f : kFreqs) known = known || r.freq == f;
  if (!known) return false;
  *out = r;
  return true;
}

std::string Unescape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char c = text[++i];
      out.push_back(c == 'n' || c == 'N' ? '\n' : c);
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// One code point from UTF-8 at `s[*i]`; an invalid or truncated sequence,
// an overlong form, a surrogate or a value above U+10FFFF gives U+FFFD and
// consumes one byte.
static uint32_t NextCodePoint(const unsigned char* s, size_t size, size_t* i) {
  const unsigned char c = s[*i];
  int extra;
  uint32_t cp, min;
  if (c < 0x80) {
    ++*i;
    return c;
  } else if ((c & 0xE0) == 0xC0) {
    extra = 1, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3, cp = c & 0x07, min = 0x10000;
  } else {
    ++*i;
    return 0xFFFD;
  }
  if (*i + extra >= size) {  // truncated at the end
    ++*i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    if ((s[*i + k] & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (s[*i + k] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++*i;
    return 0xFFFD;
  }
  *i += extra + 1;
  return cp;
}

void DecodeSubject(const char* bytes, size_t size, char16_t out[calendar::kSubjectUnits]) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
  const size_t room = calendar::kSubjectUnits - 1;
  size_t n = 0, i = 0;
  while (i < size && n < room) {
    uint32_t cp = NextCodePoint(s, size, &i);
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) cp = ' ';
    if (cp >= 0x10000) {
      if (n + 2 > room) break;  // never half a surrogate pair
      cp -= 0x10000;
      out[n++] = static_cast<char16_t>(0xD800 + (cp >> 10));
      out[n++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out[n++] = static_cast<char16_t>(cp);
    }
  }
  out[n] = 0;
}

}  // namespace ical
