// The skin file's scan: the skin folder's "config.ini" is UTF-16LE text read
// by one fixed formatted scan, and only the position of a number gives its
// meaning (nine colour triples, then five font sizes). Pure: it works on the
// bytes as read, so the Win32 load is only the file access around it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace skin {

// The nine skin colours, in file order.
enum ColourIndex {
  kOwnerColor,
  kDateColor,
  kInfoColor,
  kAlertColor,
  kClockColor,
  kMinuteHandColor,
  kSecondHandColor,
  kFaceColor,
  kAppointmentColor,
  kColourCount
};

// The five font sizes, in file order.
enum SizeIndex { kOwnerFontSize, kDateFontSize, kTimeFontSize, kAppointmentFontSize, kMessageFontSize, kSizeCount };

constexpr size_t kMaxFileBytes = 4096;                       // only the first 4096 bytes of the file count
constexpr int kNumberCount = 3 * kColourCount + kSizeCount;  // 32 numbers in the format
constexpr int kConversionCount = 48;                         // 16 words + 32 numbers

// Colour value: red in the low byte, then green, then blue, top byte 0.
struct SkinSettings {
  int32_t loaded = 0;  // 1 once the file was opened and read (even if nothing matched)
  uint32_t colour[kColourCount] = {};
  // A colour whose three numbers the scan did not all reach is not set and
  // the built-in colour stands for it (layout::ResolveColours), with the
  // flag set or not: a half-written file then looks like the built-in face,
  // never like black text on a black picture.
  bool colourSet[kColourCount] = {};
  int32_t size[kSizeCount] = {11, 11, 25, 9, 11};
};

// Runs the format
//   " %s %s %d, %d, %d %s %d, %d, %d ... %s %s %d %s %d %s %d %s %d %s %d"
// over `length` bytes taken as UTF-16LE units (an odd trailing byte is
// dropped; the text ends at the first NUL unit or at the end of the bytes;
// no terminator is assumed). Stores the numbers reached into numbers[0..31]
// in format order and leaves the others untouched; returns how many of the
// 48 conversions matched before the first mismatch or the end of the text.
//
// Rules, as the C library's wide scan applies them in the "C" locale:
//   white space is the ASCII set (space, \t, \n, \v, \f, \r);
//   a word is one run of non-white units of any length, skipped whole (the
//     format's 15-unit limit is not a buffer here, so nothing can overflow);
//   a number is an optional sign and ASCII digits after white space;
//   a comma must follow its number directly.
// A number beyond the signed 32-bit range saturates to INT32_MAX or
// INT32_MIN (as strtol does at its own width): its colour component is then
// 255 or 0, a font size absurdly large or small (font heights are clamped
// later, layout::FontHeight).
int ScanNumbers(const uint8_t* bytes, size_t length, int32_t numbers[kNumberCount]);

// How many of the 32 numbers lie within the first `conversions` conversions.
int NumbersReached(int conversions);

// Colour from three numbers: each component modulo 256 (its low 8 bits, so
// -1 gives 255 and 300 gives 44), then R + G * 256 + B * 65536.
uint32_t ColourFromComponents(int32_t red, int32_t green, int32_t blue);

// The whole load after a successful read: scans, sets every colour whose
// triple was reached in full and every size reached, and sets `loaded`.
void ParseSkinText(const uint8_t* bytes, size_t length, SkinSettings& s);

}  // namespace skin
