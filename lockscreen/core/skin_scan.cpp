// The skin file's scan (see skin_scan.h). The format is kept as a table of
// steps so that the order of words, numbers and commas is read in one
// place, and the scanner walks the bytes with an index: no copy, no
// terminator, no fixed word buffer.
#include "lockscreen/core/skin_scan.h"

namespace skin {
namespace {

enum Step : uint8_t { kWord, kNumber, kComma };

// " %s %s %d, %d, %d" + 8 x " %s %d, %d, %d" + " %s %s %d" + 4 x " %s %d".
struct Format {
  Step steps[66];
  int count = 0;
  constexpr void Add(Step s) { steps[count++] = s; }
  constexpr void Triple() {
    Add(kNumber);
    Add(kComma);
    Add(kNumber);
    Add(kComma);
    Add(kNumber);
  }
  constexpr Format() : steps() {
    Add(kWord);
    Add(kWord);
    Triple();
    for (int i = 0; i < kColourCount - 1; ++i) {
      Add(kWord);
      Triple();
    }
    Add(kWord);
    Add(kWord);
    Add(kNumber);
    for (int i = 0; i < kSizeCount - 1; ++i) {
      Add(kWord);
      Add(kNumber);
    }
  }
};
constexpr Format kFormat;
static_assert(kFormat.count == 66, "16 words, 32 numbers and 18 commas");

// The text as UTF-16LE units, ending at the first NUL unit or at the last
// whole unit of the bytes.
struct Text {
  const uint8_t* bytes;
  size_t units;
  size_t at = 0;
  uint16_t Peek() const { return static_cast<uint16_t>(bytes[2 * at] | (bytes[2 * at + 1] << 8)); }
  bool AtEnd() const { return at >= units || Peek() == 0; }
};

// The "C" locale's white space: space, \t, \n, \v, \f, \r.
bool IsWhite(uint16_t u) { return u == 0x20 || (u >= 0x09 && u <= 0x0D); }

void SkipWhite(Text& t) {
  while (!t.AtEnd() && IsWhite(t.Peek())) ++t.at;
}

bool ScanWord(Text& t) {
  SkipWhite(t);
  if (t.AtEnd()) return false;
  while (!t.AtEnd() && !IsWhite(t.Peek())) ++t.at;
  return true;
}

bool ScanNumber(Text& t, int32_t& out) {
  SkipWhite(t);
  bool negative = false;
  if (!t.AtEnd() && (t.Peek() == u'+' || t.Peek() == u'-')) {
    negative = t.Peek() == u'-';
    ++t.at;
  }
  // Accumulate the magnitude in 64 bits, held just past the 32-bit range so
  // that any run of digits saturates instead of overflowing.
  constexpr int64_t kCap = int64_t{INT32_MAX} + 2;
  int64_t magnitude = 0;
  bool digits = false;
  while (!t.AtEnd() && t.Peek() >= u'0' && t.Peek() <= u'9') {
    magnitude = magnitude * 10 + (t.Peek() - u'0');
    if (magnitude > kCap) magnitude = kCap;
    digits = true;
    ++t.at;
  }
  if (!digits) return false;
  int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  out = static_cast<int32_t>(value);
  return true;
}

}  // namespace

int ScanNumbers(const uint8_t* bytes, size_t length, int32_t numbers[kNumberCount]) {
  Text t{bytes, bytes ? length / 2 : 0};
  int conversions = 0;
  int number = 0;
  for (int i = 0; i < kFormat.count; ++i) {
    switch (kFormat.steps[i]) {
      case kWord:
        if (!ScanWord(t)) return conversions;
        ++conversions;
        break;
      case kNumber: {
        int32_t value = 0;
        if (!ScanNumber(t, value)) return conversions;
        numbers[number++] = value;
        ++conversions;
        break;
      }
      case kComma:
        if (t.AtEnd() || t.Peek() != u',') return conversions;
        ++t.at;
        break;
    }
  }
  return conversions;
}

int NumbersReached(int conversions) {
  // The words stand at fixed places: count the number steps among the
  // first `conversions` conversions.
  int reached = 0;
  for (int i = 0, seen = 0; i < kFormat.count && seen < conversions; ++i) {
    if (kFormat.steps[i] == kComma) continue;
    ++seen;
    if (kFormat.steps[i] == kNumber) ++reached;
  }
  return reached;
}

uint32_t ColourFromComponents(int32_t red, int32_t green, int32_t blue) {
  const uint32_t r = static_cast<uint32_t>(red) & 0xFFu;
  const uint32_t g = static_cast<uint32_t>(green) & 0xFFu;
  const uint32_t b = static_cast<uint32_t>(blue) & 0xFFu;
  return r | (g << 8) | (b << 16);
}

void ParseSkinText(const uint8_t* bytes, size_t length, SkinSettings& s) {
  if (length > kMaxFileBytes) length = kMaxFileBytes;
  int32_t numbers[kNumberCount] = {};
  const int conversions = ScanNumbers(bytes, length, numbers);
  const int reached = NumbersReached(conversions);
  for (int c = 0; c < kColourCount; ++c) {
    if (reached >= 3 * c + 3) {
      s.colour[c] = ColourFromComponents(numbers[3 * c], numbers[3 * c + 1], numbers[3 * c + 2]);
      s.colourSet[c] = true;
    }
  }
  for (int k = 0; k < kSizeCount; ++k) {
    if (reached >= 3 * kColourCount + k + 1) s.size[k] = numbers[3 * kColourCount + k];
  }
  s.loaded = 1;
}

}  // namespace skin
