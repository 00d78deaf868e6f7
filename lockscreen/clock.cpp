// The clock on the lock screen (see clock.h). The geometry is
// lockscreen/core/clock_geometry; this file only selects pens and draws.
//
// The analog update runs on the window thread (inside the paint) and on
// the refresh thread (each tick). One lock holds the whole
// erase-draw-store, so the two never interleave and leave a hand drawn
// that nobody will erase. The same lock guards the pens: once
// Clock_DeletePens has run, a late tick of the refresh thread (it stops
// only after the window is gone) draws nothing.
#include "lockscreen/clock.h"

#include "lockscreen/core/clock_geometry.h"
#include "lockscreen/lockscreen.h"
#include "platform/local_time.h"

namespace {

enum PenIndex { kHourPen, kHourErasePen, kMinutePen, kMinuteErasePen, kSecondPen, kSecondErasePen, kCapPen, kPenCount };

SRWLOCK s_clockLock = SRWLOCK_INIT;
HPEN s_pens[kPenCount];
bool s_pensLive = false;

// Analog state: placed by every analog paint, hands stored by each update.
// The radius and the cap are at the face's scale (70 and 2 on a device).
double s_radius = 0;
int32_t s_capHalf = 2;
clockgeo::Point s_centre;
clockgeo::HandLine s_hourHand, s_minuteHand, s_secondHand;
int32_t s_lastLandscape = 0;

HPEN MakePen(int width, COLORREF colour) {
  LOGPEN pen;
  pen.lopnStyle = PS_SOLID;
  pen.lopnWidth.x = width;
  pen.lopnWidth.y = 0;
  pen.lopnColor = colour;
  return CreatePenIndirect(&pen);
}

void DrawLine(HDC dc, HPEN pen, const clockgeo::HandLine& line) {
  if (pen == nullptr) return;
  POINT points[2] = {{line.centre.x, line.centre.y}, {line.tip.x, line.tip.y}};
  SelectObject(dc, pen);
  Polyline(dc, points, 2);
}

// A stored line that is all zero was never drawn (start, or forgotten at a
// turn): erasing it would paint a dot at (0, 0).
void EraseLine(HDC dc, HPEN pen, const clockgeo::HandLine& line) {
  if (!clockgeo::IsZeroLine(line)) DrawLine(dc, pen, line);
}

// The update itself; the caller holds s_clockLock.
void UpdateLocked(void) {
  // Nothing to draw before the first analog paint has placed the dial, or
  // after the pens and the window are gone.
  HWND window = g_lockScreen.window;
  if (!s_pensLive || s_radius == 0 || window == nullptr) return;
  HDC dc = GetDC(window);
  if (dc == nullptr) return;

  SYSTEMTIME now;
  DeviceGetLocalTime(&now);
  if (now.wDay != g_lockScreen.status.lastDay) {
    Region_Invalidate(kDateRegion);
    g_lockScreen.status.lastDay = now.wDay;
  }

  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  EraseLine(dc, s_pens[kSecondErasePen], s_secondHand);
  EraseLine(dc, s_pens[kMinuteErasePen], s_minuteHand);
  EraseLine(dc, s_pens[kHourErasePen], s_hourHand);

  s_hourHand = clockgeo::HourHand(s_centre, s_radius, now.wHour, now.wMinute);
  DrawLine(dc, s_pens[kHourPen], s_hourHand);
  s_minuteHand = clockgeo::MinuteHand(s_centre, s_radius, now.wMinute);
  DrawLine(dc, s_pens[kMinutePen], s_minuteHand);
  if (g_lockScreen.settings.ShowSeconds == 1) {
    s_secondHand = clockgeo::SecondHand(s_centre, s_radius, now.wSecond);
    DrawLine(dc, s_pens[kSecondPen], s_secondHand);
  }

  // The cap's inside takes the fresh device context's own brush.
  if (s_pens[kCapPen] != nullptr) SelectObject(dc, s_pens[kCapPen]);
  const layout::Rect cap = clockgeo::CapBox(s_centre, s_capHalf);
  Ellipse(dc, cap.left, cap.top, cap.right, cap.bottom);

  SelectObject(dc, oldPen);
  ReleaseDC(window, dc);
}

}  // namespace

void Clock_CreatePens(const layout::Colours& c, const facefit::FaceFit& fit) {
  // A hand and its erase pen always have the same width, so an erase
  // covers exactly what the draw painted.
  const int hour = facefit::ScaleLength(fit, 4), minute = facefit::ScaleLength(fit, 3);
  const int second = facefit::ScaleLength(fit, 1), cap = facefit::ScaleLength(fit, 4);
  AcquireSRWLockExclusive(&s_clockLock);
  for (HPEN& pen : s_pens) {
    if (pen != nullptr) DeleteObject(pen);
  }
  s_pens[kHourPen] = MakePen(hour, c.hourHand);
  s_pens[kHourErasePen] = MakePen(hour, c.face);
  s_pens[kMinutePen] = MakePen(minute, c.minuteHand);
  s_pens[kMinuteErasePen] = MakePen(minute, c.face);
  s_pens[kSecondPen] = MakePen(second, c.secondHand);
  s_pens[kSecondErasePen] = MakePen(second, c.face);
  s_pens[kCapPen] = MakePen(cap, c.secondHand);
  s_pensLive = true;
  ReleaseSRWLockExclusive(&s_clockLock);
}

void Clock_DeletePens(void) {
  AcquireSRWLockExclusive(&s_clockLock);
  s_pensLive = false;
  for (HPEN& pen : s_pens) {
    if (pen != nullptr) DeleteObject(pen);
    pen = nullptr;
  }
  ReleaseSRWLockExclusive(&s_clockLock);
}

void Clock_PlaceAnalog(const facefit::FaceFit& fit, const layout::TextMetrics& dateFont) {
  const clockgeo::AnalogPlacement p = clockgeo::PlaceAnalog(fit.face, dateFont.height, dateFont.externalLeading);
  const layout::Rect r = facefit::MapRect(fit, p.clockRect);
  Region_Set(kClockRegion, {r.left, r.top, r.right, r.bottom});
  AcquireSRWLockExclusive(&s_clockLock);
  s_radius = facefit::ScaleReal(fit, p.radius);
  s_capHalf = facefit::ScaleLength(fit, 2);
  s_centre = {facefit::MapX(fit, p.centre.x), facefit::MapY(fit, p.centre.y)};
  if (p.landscape != s_lastLandscape) {
    s_hourHand = s_minuteHand = s_secondHand = clockgeo::HandLine{};
    s_lastLandscape = p.landscape;
  }
  UpdateLocked();
  ReleaseSRWLockExclusive(&s_clockLock);
}

void Clock_AnalogUpdate(void) {
  AcquireSRWLockExclusive(&s_clockLock);
  UpdateLocked();
  ReleaseSRWLockExclusive(&s_clockLock);
}

void Clock_PaintDigital(HWND window, HDC dc, const RECT& clockRect, const SYSTEMTIME& now, HFONT timeFont,
                        COLORREF colour) {
  if (timeFont != nullptr) SelectObject(dc, timeFont);
  Region_Set(kClockRegion, clockRect);
  SetTextColor(dc, colour);
  StatusInfo& status = g_lockScreen.status;
  RECT region = clockRect;
  if (now.wHour != status.lastHour) {
    InvalidateRect(window, &region, TRUE);
    status.lastHour = now.wHour;
  }
  if (now.wMinute != status.lastMinute) {
    InvalidateRect(window, &region, TRUE);
    status.lastMinute = now.wMinute;
  }
  static wchar_t timeText[128];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, timeText, 128) == 0) timeText[0] = L'\0';
  RECT box = clockRect;
  DrawTextW(dc, timeText, -1, &box, DT_CENTER);
}
