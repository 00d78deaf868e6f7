// The lock window's paint: the skin picture, then the owner, date, clock,
// version, battery, message and appointment lines drawn straight onto the
// window with a transparent background, in that order. Every rectangle,
// font and colour choice comes from lockscreen/core/layout; this file turns
// them into GDI calls.
//
// On a device class the picture is copied unscaled to (0, 0) and the face
// is composed for the client itself. On any other screen (a PC monitor) the
// face is composed for the nearest class (lockscreen/core/face_fit) and
// every region is carried to the screen by the fit: the picture is
// stretched over the face's place, the fonts and pens are made at the
// scaled size (so text is rendered crisp, not enlarged), and the margins
// keep the class background's black.
#include "lockscreen/paint.h"

#include <cwchar>

#include "lockscreen/appointments.h"
#include "lockscreen/clock.h"
#include "lockscreen/early_picture.h"
#include "lockscreen/core/face_fit.h"
#include "lockscreen/core/layout.h"
#include "lockscreen/lockscreen.h"
#include "lockscreen/skin.h"
#include "lockscreen/status.h"
#include "platform/image.h"
#include "platform/local_time.h"
#include "shared/version.h"

namespace {

// Window-creation results, from WM_CREATE to WM_DESTROY.
HFONT s_fonts[layout::kFontCount];
// Each font's metrics as the composition sees them, read once at creation:
// they cannot change while the font lives, and the paint needs them in its
// arithmetic before it draws. A font that could not be made is measured as
// the stock font the device context falls back to. On a fitted face these
// are the metrics of the fonts at the class's own size (the drawing fonts
// are the same fonts scaled).
layout::TextMetrics s_metrics[layout::kFontCount];
layout::Colours s_colours;
facefit::FaceChoice s_face;
facefit::FaceFit s_drawFit;  // the scale the drawing fonts and the pens were made at
int32_t s_skinSize = 320;
wchar_t s_portraitPath[layout::kImagePathCapacity];
wchar_t s_landscapePath[layout::kImagePathCapacity];

// The picture decoded at the latest paint (window thread only).
HBITMAP s_skinBitmap = nullptr;

RECT ToRect(const layout::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
layout::Rect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
// A region of the face, on the screen.
RECT OnScreen(const facefit::FaceFit& fit, const layout::Rect& r) { return ToRect(facefit::MapRect(fit, r)); }

void SelectFont(HDC dc, layout::FontId font) {
  if (s_fonts[font] != nullptr) SelectObject(dc, s_fonts[font]);
}

void DrawLine(HDC dc, const wchar_t* text, const RECT& where, UINT format) {
  RECT box = where;
  DrawTextW(dc, text, -1, &box, format);
}

// Font f with a cell height of `height` pixels.
HFONT MakeFont(int f, int32_t height) {
  const layout::FontSpec font = layout::FontFor(static_cast<layout::FontId>(f), g_lockScreen.skin);
  LOGFONTW lf;
  ZeroMemory(&lf, sizeof(lf));  // width, angles, styles, precisions, quality 0; empty face name
  lf.lfHeight = height;
  lf.lfWeight = font.weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = 1;
  return CreateFontIndirectW(&lf);
}

int32_t FontHeightAt(int f, int32_t dpi) {
  return layout::FontHeight(dpi, layout::FontFor(static_cast<layout::FontId>(f), g_lockScreen.skin).points);
}

void DeleteFonts(void) {
  for (HFONT& font : s_fonts) {
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
  }
}

// The seven fonts and their metrics. A device class uses the screen's own
// resolution; a fitted face is measured at the reference resolution (its
// layout is the class's), and its drawing fonts are made by ScaleFonts.
void CreateFonts(HDC dc) {
  const int32_t dpi = s_face.fitted ? facefit::kReferenceDpi : GetDeviceCaps(dc, LOGPIXELSY);
  for (int f = 0; f < layout::kFontCount; ++f) {
    s_fonts[f] = MakeFont(f, FontHeightAt(f, dpi));
    HGDIOBJ old = s_fonts[f] != nullptr ? SelectObject(dc, s_fonts[f]) : nullptr;
    TEXTMETRICW tm;
    ZeroMemory(&tm, sizeof(tm));
    GetTextMetricsW(dc, &tm);
    s_metrics[f] = {tm.tmHeight, tm.tmExternalLeading, tm.tmAveCharWidth};
    if (old != nullptr) SelectObject(dc, old);
  }
}

// A fitted face's drawing fonts and pens at the scale of `fit`, made again
// only when the scale changed (the screen was turned or resized).
void ScaleFontsAndPens(const facefit::FaceFit& fit) {
  if (facefit::SameScale(fit, s_drawFit)) return;
  s_drawFit = fit;
  DeleteFonts();
  for (int f = 0; f < layout::kFontCount; ++f) {
    int32_t height = facefit::ScaleLength(fit, FontHeightAt(f, facefit::kReferenceDpi));
    if (height > layout::kMaxFontHeight) height = layout::kMaxFontHeight;
    s_fonts[f] = MakeFont(f, height);
  }
  Clock_CreatePens(s_colours, fit);
}

// The picture: on a device class at (0, 0), at its own size, never
// scaled; on a fitted face stretched over the face's place (the margins
// stay black). HALFTONE averages the source pixels, so the enlarged
// picture has no blocky edges and its flat dial stays its flat colour.
void DrawPicture(HDC dc, const facefit::FaceFit& fit) {
  if (s_skinBitmap == nullptr) return;
  const int saved = SaveDC(dc);
  BITMAP info;
  ZeroMemory(&info, sizeof(info));
  GetObjectW(s_skinBitmap, sizeof(info), &info);
  HDC memory = CreateCompatibleDC(dc);
  if (memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, s_skinBitmap);
    if (s_face.fitted) {
      const RECT face = OnScreen(fit, fit.face);
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, face.left, face.top, face.right - face.left, face.bottom - face.top, memory, 0, 0, info.bmWidth,
                 info.bmHeight, SRCCOPY);
    } else {
      BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  RestoreDC(dc, saved);
}

// The module directory + a picture path relative to it; false (and no
// text) when the whole does not fit.
bool FullPicturePath(const wchar_t* relative, wchar_t* out, size_t count) {
  const int n = _snwprintf(out, count, L"%ls%ls", g_lockScreen.moduleDir, relative);
  if (n > 0 && static_cast<size_t>(n) < count) return true;
  out[0] = L'\0';
  return false;
}

// What one paint draws, gathered before it begins: the face's place on the
// screen, the time, the texts and the composition of the regions.
struct PaintInput {
  facefit::FaceFit fit;
  SYSTEMTIME now;
  wchar_t date[64];
  wchar_t battery[32];
  layout::ScreenInput in;
  layout::ScreenLayout l;
};

// Everything the paint needs, before BeginPaint: the fonts and pens at the
// face's scale, the date region queued for a repaint on a new day (so that
// this paint covers it), the skin picture for the screen's orientation,
// the texts and the composition.
void LoadPaintInput(HWND window, PaintInput* p) {
  RECT client;
  GetClientRect(window, &client);
  const bool landscape = layout::IsLandscape(FromRect(client));
  p->fit = facefit::FitFace(s_face, FromRect(client));
  if (s_face.fitted) ScaleFontsAndPens(p->fit);

  DeviceGetLocalTime(&p->now);
  if (p->now.wDay != g_lockScreen.status.lastDay) {
    Region_Invalidate(kDateRegion);
    g_lockScreen.status.lastDay = p->now.wDay;
  }

  Paint_DropBitmap();
  wchar_t picture[MAX_PATH + layout::kImagePathCapacity];
  if (FullPicturePath(landscape ? s_landscapePath : s_portraitPath, picture, sizeof(picture) / sizeof(picture[0])) &&
      !EarlyPicture_Take(picture, &s_skinBitmap))
    s_skinBitmap = SHLoadImageFile(picture);

  if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &p->now, nullptr, p->date, 64) == 0) p->date[0] = L'\0';
  p->date[63] = L'\0';
  int percent = 0;
  BOOL known = FALSE;
  Status_GetBattery(p->battery, &percent, &known);

  const StatusInfo& status = g_lockScreen.status;
  layout::ScreenInput& in = p->in;
  in.client = p->fit.face;
  for (int f = 0; f < layout::kFontCount; ++f) in.metrics[f] = s_metrics[f];
  in.dateLength = static_cast<int32_t>(wcslen(p->date));
  in.clockType = g_lockScreen.settings.Clock_Type;
  in.skinSize = s_skinSize;
  in.hideMessages = g_lockScreen.settings.Hide_Messages;
  in.batteryPercent = percent;
  in.batteryKnown = known != FALSE;
  in.unreadSms = status.unreadSms;
  in.unreadMail = status.unreadMail;
  in.missedCalls = status.missedCalls;
  in.colours = s_colours;
  p->l = layout::ComposeScreen(in);
}

// The owner's name and the long date, centred.
void PaintOwnerAndDate(HDC dc, const PaintInput& p) {
  SelectFont(dc, layout::kOwnerFont);
  SetTextColor(dc, s_colours.owner);
  const RECT owner = OnScreen(p.fit, p.l.ownerRect);
  Region_Set(kOwnerRegion, owner);
  DrawLine(dc, g_lockScreen.ownerName, owner, DT_CENTER);

  SelectFont(dc, p.l.dateFont);
  const RECT date = OnScreen(p.fit, p.l.dateRect);
  Region_Set(kDateRegion, date);
  SetTextColor(dc, s_colours.date);
  DrawLine(dc, p.date, date, DT_CENTER);
}

// The analog hands over the skin's dial, or the digital time; any other
// Clock_Type draws no clock but keeps its region.
void PaintClock(HWND window, HDC dc, const PaintInput& p) {
  switch (g_lockScreen.settings.Clock_Type) {
    case settings::kAnalogClock: Clock_PlaceAnalog(p.fit, s_metrics[p.l.dateFont]); break;
    case settings::kDigitalClock:
      Clock_PaintDigital(window, dc, OnScreen(p.fit, p.l.clockRect), p.now, s_fonts[layout::kTimeFont],
                         s_colours.digitalTime);
      break;
    default: Region_Set(kClockRegion, OnScreen(p.fit, p.l.clockRect)); break;
  }
}

// The bottom line: the version on the left, the battery on the right.
void PaintStatusLine(HDC dc, const PaintInput& p) {
  SelectFont(dc, p.l.statusFont);
  SetTextColor(dc, s_colours.info);
  const RECT version = OnScreen(p.fit, p.l.versionRect);
  Region_Set(kVersionRegion, version);
  DrawLine(dc, L"" SUITE_VERSION_TEXT, version, DT_LEFT);
  const RECT battery = OnScreen(p.fit, p.l.batteryRect);
  Region_Set(kBatteryRegion, battery);
  SetTextColor(dc, p.l.batteryColour);
  DrawLine(dc, p.battery, battery, DT_RIGHT);
}

// The three count lines.
void PaintMessages(HDC dc, const PaintInput& p) {
  SelectFont(dc, layout::kMessageFont);
  Region_Set(kMessagesRegion, OnScreen(p.fit, p.l.messagesRect));
  static const wchar_t* const kFormats[3] = {L"Unread SMS: %d", L"Unread Mail: %d", L"Missed calls: %d"};
  const int32_t counts[3] = {p.in.unreadSms, p.in.unreadMail, p.in.missedCalls};
  for (int i = 0; i < 3; ++i) {
    wchar_t text[100];
    _snwprintf(text, 100, kFormats[i], static_cast<int>(counts[i]));
    text[99] = L'\0';
    SetTextColor(dc, p.l.messageColour[i]);
    DrawLine(dc, text, OnScreen(p.fit, p.l.messageLine[i]), DT_CENTER);
  }
}

// The appointment lines from the line source, while a line box still ends
// above the message lines (both in face coordinates).
void PaintAppointments(HDC dc, const PaintInput& p) {
  const layout::Rect panel = layout::AppointmentsRect(p.fit.face, p.l.clockRect, g_lockScreen.settings.Clock_Type,
                                                      s_metrics[layout::kMessageFont], p.l.messagesRect);
  Region_Set(kAppointmentsRegion, OnScreen(p.fit, panel));
  SelectFont(dc, p.l.appointmentFont);
  const layout::TextMetrics& font = s_metrics[p.l.appointmentFont];
  SetTextColor(dc, s_colours.appointment);
  layout::Rect box = layout::FirstAppointmentBox(panel, font);
  for (int i = 0; layout::AppointmentBoxFits(box, p.l.messagesRect); ++i) {
    wchar_t line[256];
    line[0] = L'\0';
    if (!Appointments_LineSource(line, i)) {
      if (i == 0) {
        wchar_t error[128];
        error[0] = L'\0';
        Appointments_GetErrorText(error);
        error[127] = L'\0';
        SetTextColor(dc, layout::kWarningRed);
        DrawLine(dc, error, OnScreen(p.fit, box), DT_SINGLELINE | DT_CENTER);
      }
      break;
    }
    line[255] = L'\0';
    DrawLine(dc, line, OnScreen(p.fit, box), DT_SINGLELINE);
    box = layout::NextAppointmentBox(box, font);
  }
}

}  // namespace

void Paint_DecodeAhead(void) {
  // The window is made full-screen, so the face and the orientation of its
  // first paint are the screen's.
  const int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const facefit::FaceChoice face = facefit::ChooseFace(width, height);
  wchar_t relative[layout::kImagePathCapacity];
  wchar_t picture[MAX_PATH + layout::kImagePathCapacity];
  if (layout::ImagePath(relative, layout::kImagePathCapacity, g_lockScreen.settings.Clock_Type,
                        layout::IsLandscape({0, 0, width, height}), face.skin.fileName) &&
      FullPicturePath(relative, picture, sizeof(picture) / sizeof(picture[0])))
    EarlyPicture_Start(picture);
}

void Paint_OnCreate(HWND window) {
  // The skin size comes from the full-screen client area. On the desktop
  // the window is created with a frame that start-up drops right after
  // creation, so here the client is still smaller than the window: take
  // the window's own size, which is what the client becomes.
  RECT client, frame;
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  int32_t width = client.right - client.left, height = client.bottom - client.top;
  if (width < frame.right - frame.left || height < frame.bottom - frame.top) {
    width = frame.right - frame.left;
    height = frame.bottom - frame.top;
  }
  s_face = facefit::ChooseFace(width, height);
  s_skinSize = s_face.skin.skinSize;
  layout::ImagePath(s_portraitPath, layout::kImagePathCapacity, g_lockScreen.settings.Clock_Type, false,
                    s_face.skin.fileName);
  layout::ImagePath(s_landscapePath, layout::kImagePathCapacity, g_lockScreen.settings.Clock_Type, true,
                    s_face.skin.fileName);

  HDC dc = GetDC(window);
  CreateFonts(dc);
  ReleaseDC(window, dc);
  s_colours = layout::ResolveColours(g_lockScreen.skin, g_lockScreen.settings.Face);
  s_drawFit = facefit::FaceFit{};  // scale 1: the fonts just made, and the device's pens
  Clock_CreatePens(s_colours, s_drawFit);
  if (s_face.fitted) ScaleFontsAndPens(facefit::FitFace(s_face, {0, 0, width, height}));
}

// The paint in the order of the face: the picture, then each band drawn
// straight onto the window with a transparent background.
void Paint_OnPaint(HWND window) {
  PaintInput p;
  LoadPaintInput(window, &p);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (dc == nullptr) return;
  HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
  SetBkMode(dc, TRANSPARENT);
  DrawPicture(dc, p.fit);
  PaintOwnerAndDate(dc, p);
  PaintClock(window, dc, p);
  PaintStatusLine(dc, p);
  if (p.l.drawMessages) {
    PaintMessages(dc, p);
    PaintAppointments(dc, p);
  }
  if (originalFont != nullptr) SelectObject(dc, originalFont);
  EndPaint(window, &ps);
}

void Paint_OnDestroy(HWND) {
  DeleteFonts();
  Clock_DeletePens();
  Paint_DropBitmap();
  PostQuitMessage(0);
}

void Paint_OnHibernate(void) { Paint_DropBitmap(); }

void Paint_DropBitmap(void) {
  if (s_skinBitmap != nullptr) DeleteObject(s_skinBitmap);
  s_skinBitmap = nullptr;
}

void Paint_DropEarlyPicture(void) { EarlyPicture_Drop(); }
