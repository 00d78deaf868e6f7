// The lock screen's composition (see layout.h): each function is one step
// of the paint's arithmetic, and ComposeScreen runs them in paint order.
#include "lockscreen/core/layout.h"

#include <cwchar>

#include "lockscreen/core/clock_geometry.h"
#include "shared/core/settings_rules.h"

namespace layout {

const ScreenClass kScreenClasses[kScreenClassCount] = {
    {800, 480, {800, L"hd.jpg"}},  {640, 480, {640, L"vga.jpg"}}, {480, 480, {480, L"480.jpg"}},
    {320, 320, {320, L"320.jpg"}}, {240, 240, {240, L"240.jpg"}}, {320, 240, {320, L"qvga.jpg"}},
};

SkinChoice ChooseSkin(int32_t clientWidth, int32_t clientHeight) {
  const int32_t large = clientWidth > clientHeight ? clientWidth : clientHeight;
  const int32_t small = clientWidth > clientHeight ? clientHeight : clientWidth;
  for (const ScreenClass& c : kScreenClasses) {
    if (c.large == large && c.small == small) return c.skin;
  }
  return kScreenClasses[kScreenClassCount - 1].skin;
}

bool IsLandscape(const Rect& client) {
  return int64_t{client.right} - client.left >= int64_t{client.bottom} - client.top;
}

const wchar_t* SkinFolder(int32_t clockType) {
  return clockType == settings::kAnalogClock ? L"skin\\analog\\" : L"skin\\digital\\";
}

bool ImagePath(wchar_t* out, size_t capacity, int32_t clockType, bool landscape, const wchar_t* fileName) {
  if (capacity == 0) return false;
  const wchar_t* parts[] = {SkinFolder(clockType), landscape ? L"landscape_" : L"portrait_", fileName};
  size_t used = 0;
  for (const wchar_t* part : parts) {
    const size_t n = wcslen(part);
    if (used + n + 1 > capacity) {
      out[0] = L'\0';
      return false;
    }
    wmemcpy(out + used, part, n);
    used += n;
  }
  out[used] = L'\0';
  return true;
}

FontSpec FontFor(FontId font, const skin::SkinSettings& skin) {
  switch (font) {
    case kLargeStatusFont: return {11, 700};
    case kSmallStatusFont: return {10, 400};
    case kOwnerFont: return {skin.size[skin::kOwnerFontSize], 700};
    case kDateFont: return {skin.size[skin::kDateFontSize], 700};
    case kTimeFont: return {skin.size[skin::kTimeFontSize], 900};
    case kAppointmentFont: return {skin.size[skin::kAppointmentFontSize], 700};
    case kMessageFont: return {skin.size[skin::kMessageFontSize], 700};
    case kFontCount: break;
  }
  return {0, 400};
}

int32_t FontHeight(int32_t logPixelsY, int32_t points) {
  const int64_t h = int64_t{logPixelsY} * points / 72;  // C++ division truncates toward zero
  if (h > kMaxFontHeight) return kMaxFontHeight;
  if (h < -kMaxFontHeight) return -kMaxFontHeight;
  return static_cast<int32_t>(h);
}

Colours ResolveColours(const skin::SkinSettings& s, int32_t face) {
  auto pick = [&](int c, uint32_t builtIn) { return s.colourSet[c] ? s.colour[c] : builtIn; };
  const bool dark = face == 1;  // Face 1: light hands on a dark dial
  const uint32_t hand = dark ? 0xAAAAAAu : 0x786E6Eu;
  Colours c{};
  c.owner = pick(skin::kOwnerColor, 0x0A64C8u);
  c.date = pick(skin::kDateColor, 0xE6C8C8u);
  c.info = pick(skin::kInfoColor, 0xE6C8C8u);
  c.alert = pick(skin::kAlertColor, 0x3232FFu);
  c.digitalTime = pick(skin::kClockColor, 0x6464FFu);
  c.hourHand = pick(skin::kClockColor, hand);
  c.minuteHand = pick(skin::kMinuteHandColor, hand);
  c.secondHand = pick(skin::kSecondHandColor, dark ? 0xB4BEBEu : 0x8C9696u);
  c.face = pick(skin::kFaceColor, dark ? 0x22242Eu : 0xE0DBD2u);
  c.appointment = pick(skin::kAppointmentColor, 0xE6C8C8u);
  return c;
}

FontId DateFont(int32_t dateLength) { return dateLength <= 20 ? kDateFont : kLargeStatusFont; }

Rect DigitalClockRect(const Rect& client, const Rect& dateRect, const TextMetrics& timeFont) {
  const int32_t top = dateRect.bottom + 20;
  return {client.left, top, client.right, top + timeFont.externalLeading + timeFont.height + 10};
}

Rect AppointmentsRect(const Rect& client, const Rect& clockRect, int32_t clockType, const TextMetrics& messageFont,
                      const Rect& messagesRect) {
  const int32_t top = clockRect.bottom + (clockType == settings::kDigitalClock ? 25 : 15);
  const int32_t margin = 2 * messageFont.aveCharWidth;
  return {client.left + margin, top, client.right - margin, messagesRect.top};
}

Rect FirstAppointmentBox(const Rect& panel, const TextMetrics& font) {
  return {panel.left, panel.top, panel.right, panel.top + font.externalLeading + font.height};
}

Rect NextAppointmentBox(const Rect& box, const TextMetrics& font) {
  const int32_t top = box.bottom + font.externalLeading;
  return {box.left, top, box.right, top + font.externalLeading + font.height};
}

bool AppointmentBoxFits(const Rect& box, const Rect& messagesRect) { return box.bottom < messagesRect.top; }

ScreenLayout ComposeScreen(const ScreenInput& in) {
  const Rect& c = in.client;
  ScreenLayout out{};

  const TextMetrics& owner = in.metrics[kOwnerFont];
  out.ownerRect = {c.left, c.top, c.right, c.top + owner.height + owner.externalLeading};

  out.dateFont = DateFont(in.dateLength);
  const TextMetrics& date = in.metrics[out.dateFont];
  const int32_t dateTop = out.ownerRect.bottom + 5;
  out.dateRect = {c.left, dateTop, c.right, dateTop + date.externalLeading + date.height + 10};

  if (in.clockType == settings::kAnalogClock) {
    out.clockRect = clockgeo::PlaceAnalog(c, date.height, date.externalLeading).clockRect;
  } else if (in.clockType == settings::kDigitalClock) {
    out.clockRect = DigitalClockRect(c, out.dateRect, in.metrics[kTimeFont]);
  } else {
    out.clockRect = {c.left, out.dateRect.bottom + 10, c.right, out.dateRect.bottom + 20};
  }

  out.statusFont = in.skinSize > 320 ? kLargeStatusFont : kSmallStatusFont;
  const int32_t statusHeight = in.metrics[out.statusFont].height;
  out.versionRect = {c.left, c.bottom - statusHeight, (c.right - c.left) / 2, c.bottom};
  out.batteryRect = {out.versionRect.right, out.versionRect.top, c.right, c.bottom};
  // Red only for a real reading: a desktop without a battery must not show
  // a red "B[100%]" for ever.
  out.batteryColour = in.batteryKnown && in.batteryPercent < 25 ? kWarningRed : in.colours.info;

  out.appointmentFont = in.skinSize >= 400 ? kAppointmentFont : kSmallStatusFont;
  out.drawMessages = in.hideMessages == 0;
  if (!out.drawMessages) return out;

  const TextMetrics& message = in.metrics[kMessageFont];
  const int32_t h = message.height + message.externalLeading;
  out.messagesRect = {c.left, c.bottom - 4 * h, c.right, c.bottom - h};
  const int32_t counts[3] = {in.unreadSms, in.unreadMail, in.missedCalls};
  for (int i = 0; i < 3; ++i) {
    const int32_t top = out.messagesRect.top + i * h;
    out.messageLine[i] = {c.left, top, c.right, i == 2 ? out.messagesRect.bottom : top + h};
    out.messageColour[i] = counts[i] != 0 ? in.colours.alert : in.colours.info;
  }
  return out;
}

}  // namespace layout
