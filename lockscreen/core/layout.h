// The lock screen's composition as plain arithmetic: which picture and skin
// size a screen gets, the seven fonts, the colours, and every region of the
// screen, as functions of the client rectangle, the fonts' text metrics,
// the settings and the status values. The paint (lockscreen/paint.cpp) only
// turns the results into GDI calls. Pure: no <windows.h>.
#pragma once
#include <cstddef>
#include <cstdint>

#include "lockscreen/core/skin_scan.h"

namespace layout {

// Left, top, right, bottom in client pixels.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// What the paint reads from GetTextMetricsW for a font.
struct TextMetrics {
  int32_t height = 0;
  int32_t externalLeading = 0;
  int32_t aveCharWidth = 0;
};

// ---------------------------------------------------------------- pictures

// The skin size and picture file name of a screen, chosen once at window
// creation from the exact-size table (larger side, smaller side); any other
// size falls back to "qvga.jpg" and 320.
struct SkinChoice {
  int32_t skinSize;
  const wchar_t* fileName;
};
SkinChoice ChooseSkin(int32_t clientWidth, int32_t clientHeight);

// The six device screen classes (larger side, smaller side), the largest
// first; the last, 320x240, is also the fallback's picture.
struct ScreenClass {
  int32_t large, small;
  SkinChoice skin;
};
constexpr int kScreenClassCount = 6;
extern const ScreenClass kScreenClasses[kScreenClassCount];

// Landscape when width >= height: a square screen takes the landscape picture.
bool IsLandscape(const Rect& client);

// "skin\analog\" for Clock_Type 1, "skin\digital\" for every other value.
const wchar_t* SkinFolder(int32_t clockType);

constexpr size_t kImagePathCapacity = 257;  // 256 characters and the terminator
// SkinFolder + ("portrait_" | "landscape_") + fileName into out; false and
// an empty text when it does not fit.
bool ImagePath(wchar_t* out, size_t capacity, int32_t clockType, bool landscape, const wchar_t* fileName);

// ------------------------------------------------------------------- fonts

// The seven fonts, in the order they are created.
enum FontId {
  kLargeStatusFont,
  kSmallStatusFont,
  kOwnerFont,
  kDateFont,
  kTimeFont,
  kAppointmentFont,
  kMessageFont,
  kFontCount
};

struct FontSpec {
  int32_t points;
  int32_t weight;
};
FontSpec FontFor(FontId font, const skin::SkinSettings& skin);

// Height in pixels of a font of `points` on a device of `logPixelsY` dots
// per inch: logPixelsY * points / 72, truncated toward zero, computed in 64
// bits (a skin's size can be any 32-bit number) and clamped to
// +-kMaxFontHeight, which is taller than any screen the suite runs on: a
// font no one can read is still a font GDI can make quickly.
constexpr int32_t kMaxFontHeight = 2048;
int32_t FontHeight(int32_t logPixelsY, int32_t points);

// ----------------------------------------------------------------- colours

constexpr uint32_t kWarningRed = 0x3232FF;  // low battery, appointment error

// The colours one paint uses: the skin's where its triple was read in
// full, the built-in ones otherwise (the analog set by `face`).
struct Colours {
  uint32_t owner, date, info, alert, digitalTime, hourHand, minuteHand, secondHand, face, appointment;
};
Colours ResolveColours(const skin::SkinSettings& skin, int32_t face);

// -------------------------------------------------------------- the screen

// Everything the composition depends on.
struct ScreenInput {
  Rect client;
  TextMetrics metrics[kFontCount];
  int32_t dateLength = 0;  // characters of the formatted date
  int32_t clockType = 0;
  int32_t skinSize = 320;
  int32_t hideMessages = 0;
  int32_t batteryPercent = 0;
  bool batteryKnown = false;  // false until a real reading
  int32_t unreadSms = 0, unreadMail = 0, missedCalls = 0;
  Colours colours{};
};

// The regions and choices of one paint. `clockRect` is the clock's region
// for every Clock_Type (for 1 the analog placement's, clock_geometry.h);
// the appointments start under it.
struct ScreenLayout {
  Rect ownerRect, dateRect, clockRect, versionRect, batteryRect;
  FontId dateFont;    // date font up to 20 characters, else the large status font
  FontId statusFont;  // version and battery: large above skin size 320
  uint32_t batteryColour;
  bool drawMessages;  // false with Hide_Messages: nothing below is computed
  Rect messagesRect;
  Rect messageLine[3];
  uint32_t messageColour[3];
  FontId appointmentFont;  // the appointment font from skin size 400, else small status
};
ScreenLayout ComposeScreen(const ScreenInput& in);

// Date line helpers, also used alone by the analog placement.
FontId DateFont(int32_t dateLength);
// The clock region of the digital clock, under the date line.
Rect DigitalClockRect(const Rect& client, const Rect& dateRect, const TextMetrics& timeFont);

// Appointment panel: top below the clock (25 for the digital clock, 15
// otherwise), margins of twice the message font's average character width.
Rect AppointmentsRect(const Rect& client, const Rect& clockRect, int32_t clockType, const TextMetrics& messageFont,
                      const Rect& messagesRect);
// The first line box, the next one (pitch H + 2E), and whether a box is
// still drawn (its bottom above the top of messagesRect).
Rect FirstAppointmentBox(const Rect& appointmentsRect, const TextMetrics& font);
Rect NextAppointmentBox(const Rect& box, const TextMetrics& font);
bool AppointmentBoxFits(const Rect& box, const Rect& messagesRect);

}  // namespace layout
