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
#include "lockscreen/paint.h"
#include "lockscreen/status.h"
#include "platform/drawing.h"

namespace {

enum PenIndex { kHourPen, kHourErasePen, kMinutePen, kMinuteErasePen, kSecondPen, kSecondErasePen, kCapPen, kPenCount };

SRWLOCK s_clockLock = SRWLOCK_INIT;
HPEN s_pens[kPenCount];
bool s_pensLive = false;

// Analog state: placed by every analog paint, hands stored by each update.
int32_t s_radius = 0;
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
  if (!s_pensLive || s_radius == 0 || g_lockWindow == nullptr) return;
  HDC dc = GetDC(g_lockWindow);
  if (dc == nullptr) return;

  SYSTEMTIME now;
  DeviceGetLocalTime(&now);
  if (now.wDay != g_status.lastDay) {
    InvalidateRect(g_lockWindow, &g_dateRect, TRUE);
    g_status.lastDay = now.wDay;
  }

  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  EraseLine(dc, s_pens[kSecondErasePen], s_secondHand);
  EraseLine(dc, s_pens[kMinuteErasePen], s_minuteHand);
  EraseLine(dc, s_pens[kHourErasePen], s_hourHand);

  s_hourHand = clockgeo::HourHand(s_centre, s_radius, now.wHour, now.wMinute);
  DrawLine(dc, s_pens[kHourPen], s_hourHand);
  s_minuteHand = clockgeo::MinuteHand(s_centre, s_radius, now.wMinute);
  DrawLine(dc, s_pens[kMinutePen], s_minuteHand);
  if (g_settings.ShowSeconds == 1) {
    s_secondHand = clockgeo::SecondHand(s_centre, s_radius, now.wSecond);
    DrawLine(dc, s_pens[kSecondPen], s_secondHand);
  }

  // The cap's inside takes the fresh device context's own brush.
  if (s_pens[kCapPen] != nullptr) SelectObject(dc, s_pens[kCapPen]);
  const layout::Rect cap = clockgeo::CapBox(s_centre);
  Ellipse(dc, cap.left, cap.top, cap.right, cap.bottom);

  SelectObject(dc, oldPen);
  ReleaseDC(g_lockWindow, dc);
}

}  // namespace

void Clock_CreatePens(const layout::Colours& c) {
  AcquireSRWLockExclusive(&s_clockLock);
  s_pens[kHourPen] = MakePen(4, c.hourHand);
  s_pens[kHourErasePen] = MakePen(4, c.face);
  s_pens[kMinutePen] = MakePen(3, c.minuteHand);
  s_pens[kMinuteErasePen] = MakePen(3, c.face);
  s_pens[kSecondPen] = MakePen(1, c.secondHand);
  s_pens[kSecondErasePen] = MakePen(1, c.face);
  s_pens[kCapPen] = MakePen(4, c.secondHand);
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

void Clock_PlaceAnalog(const RECT& client, const layout::TextMetrics& dateFont) {
  const layout::Rect c{client.left, client.top, client.right, client.bottom};
  const clockgeo::AnalogPlacement p = clockgeo::PlaceAnalog(c, dateFont.height, dateFont.externalLeading);
  AcquireSRWLockExclusive(&s_clockLock);
  g_clockRect = {p.clockRect.left, p.clockRect.top, p.clockRect.right, p.clockRect.bottom};
  s_radius = p.radius;
  s_centre = p.centre;
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

void Clock_PaintDigital(HWND window, HDC dc, const RECT& client, const SYSTEMTIME& now, HFONT timeFont,
                        const layout::TextMetrics& timeMetrics, COLORREF colour) {
  if (timeFont != nullptr) SelectObject(dc, timeFont);
  const layout::Rect date{g_dateRect.left, g_dateRect.top, g_dateRect.right, g_dateRect.bottom};
  const layout::Rect r =
      layout::DigitalClockRect({client.left, client.top, client.right, client.bottom}, date, timeMetrics);
  g_clockRect = {r.left, r.top, r.right, r.bottom};
  SetTextColor(dc, colour);
  if (now.wHour != g_status.lastHour) {
    InvalidateRect(window, &g_clockRect, TRUE);
    g_status.lastHour = now.wHour;
  }
  if (now.wMinute != g_status.lastMinute) {
    InvalidateRect(window, &g_clockRect, TRUE);
    g_status.lastMinute = now.wMinute;
  }
  static wchar_t timeText[128];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, timeText, 128) == 0) timeText[0] = L'\0';
  RECT box = g_clockRect;
  DrawTextW(dc, timeText, -1, &box, DT_CENTER);
}
