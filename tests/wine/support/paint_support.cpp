// Helpers of the face tests (see paint_support.h).
#include "tests/wine/support/paint_support.h"

#include <cstdio>

#include "lockscreen/core/face_fit.h"
#include "lockscreen/core/skin_scan.h"
#include "platform/image.h"
#include "tests/wine/support/support.h"

namespace pt_face {
namespace {

Shot FromDc(HDC source, int width, int height) {
  Shot s;
  if (width <= 0 || height <= 0) return s;
  BITMAPINFO info;
  ZeroMemory(&info, sizeof(info));
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return s;
  HDC memory = CreateCompatibleDC(source);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  s.width = width;
  s.height = height;
  s.pixels.resize(static_cast<size_t>(width) * height);
  const BYTE* p = static_cast<const BYTE*>(bits);
  for (size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(dib);
  return s;
}

}  // namespace

int Shot::Count(const RECT& r, COLORREF colour) const {
  int n = 0;
  for (int y = r.top < 0 ? 0 : r.top; y < r.bottom && y < height; ++y) {
    for (int x = r.left < 0 ? 0 : r.left; x < r.right && x < width; ++x) n += At(x, y) == colour ? 1 : 0;
  }
  return n;
}

Shot CaptureScreen() {
  HDC screen = GetDC(nullptr);
  Shot s = FromDc(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ReleaseDC(nullptr, screen);
  return s;
}

Shot InstalledPicture(const wchar_t* folderAndFile) {
  const std::wstring path = wt::InstalledPath((std::wstring(L"skin\\") + folderAndFile).c_str());
  HBITMAP bitmap = SHLoadImageFile(path.c_str());
  if (bitmap == nullptr) return Shot();
  BITMAP b;
  GetObjectW(bitmap, sizeof(b), &b);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Shot s = FromDc(memory, b.bmWidth, b.bmHeight);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return s;
}

layout::Colours InstalledColours(int clockType) {
  const std::wstring path =
      wt::InstalledPath(clockType == 1 ? L"skin\\analog\\config.ini" : L"skin\\digital\\config.ini");
  skin::SkinSettings s;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    BYTE buffer[skin::kMaxFileBytes];
    DWORD got = 0;
    if (ReadFile(f, buffer, sizeof(buffer), &got, nullptr)) skin::ParseSkinText(buffer, got, s);
    CloseHandle(f);
  }
  return layout::ResolveColours(s, 1);
}

void PrepareFace(int clockType, const wchar_t* clock) {
  wt::SetSetting(L"Button_1", VK_F1);
  wt::SetSetting(L"Clock_Type", static_cast<DWORD>(clockType));
  wt::SetSetting(L"TimeOut", 600);
  wt::Device(L"owner \"Ada Lovelace\"");
  wt::Device(std::wstring(L"clock \"") + clock + L"\"");
  wt::Device(L"ac offline");
  wt::Device(L"battery 80");
  wt::Device(L"sms 2");
  wt::Device(L"mail 0");
  wt::Device(L"calls missed 1");
}

lt::Lock StartFace() {
  lt::Lock lock = lt::StartLock();
  if (lock.window != nullptr) lt::WaitProbe(lock.window, kProbePaints, 1, wt::kStepMs);
  return lock;
}

lt::Lock StartFaceTraced() {
  lt::Lock lock = lt::StartTracedLock();
  if (lock.window != nullptr) lt::WaitProbe(lock.window, kProbePaints, 1, wt::kStepMs);
  return lock;
}

bool WaitScreen(bool (*condition)(const Shot&, const void*), const void* context, DWORD timeoutMs) {
  return wt::WaitFor([&] { return condition(CaptureScreen(), context); }, timeoutMs);
}

SkinFileSwap::SkinFileSwap(const wchar_t* folderAndFile, const std::vector<unsigned char>* content) {
  path_ = wt::InstalledPath((std::wstring(L"skin\\") + folderAndFile).c_str());
  backup_ = path_ + L".kept";
  DeleteFileW(backup_.c_str());
  if (!MoveFileW(path_.c_str(), backup_.c_str())) return;
  if (content == nullptr) {
    ok_ = true;
    return;
  }
  HANDLE f = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD wrote = 0;
  ok_ = WriteFile(f, content->data(), static_cast<DWORD>(content->size()), &wrote, nullptr) && wrote == content->size();
  CloseHandle(f);
}

SkinFileSwap::~SkinFileSwap() {
  if (GetFileAttributesW(backup_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  DeleteFileW(path_.c_str());
  MoveFileW(backup_.c_str(), path_.c_str());
}

int DrawnBottom(const lt::Lock& lock, const std::wstring& text) {
  for (const lt::Drawn& d : lt::DrawnTexts(lock)) {
    if (d.text == text) return d.rect.bottom;
  }
  return -1;
}

std::vector<unsigned char> Utf16(const std::string& ascii) {
  std::vector<unsigned char> b;
  for (char c : ascii) {
    b.push_back(static_cast<unsigned char>(c));
    b.push_back(0);
  }
  return b;
}

bool NearColour(const Shot& s, int x, int y, int radius, COLORREF colour) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (s.Has(x + dx, y + dy) && s.At(x + dx, y + dy) == colour) return true;
    }
  }
  return false;
}

bool EdgesShowPicture(const Shot& screen, const void* context) {
  const Shot& p = *static_cast<const PictureCheck*>(context)->picture;
  if (screen.width < p.width || screen.height < p.height) return false;
  for (int y = 0; y < p.height - 30; y += 7) {
    for (int x : {0, 1, p.width - 2, p.width - 1}) {
      if (screen.At(x, y) != p.At(x, y)) return false;
    }
  }
  return true;
}

HandsCheck HandsAt(int width, int height, int hour, int minute, int second) {
  // The date line's font of the shipped skins is 14 pixels high at 96 dpi,
  // the resolution a fitted face is composed at.
  // The face is chosen for the screen, then fitted to the client.
  const facefit::FaceChoice face = facefit::ChooseFace(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const facefit::FaceFit fit = facefit::FitFace(face, {0, 0, width, height});
  const clockgeo::AnalogPlacement p = clockgeo::PlaceAnalog(fit.face, 14, 0);
  HandsCheck c;
  c.centre = {facefit::MapX(fit, p.centre.x), facefit::MapY(fit, p.centre.y)};
  c.radius = facefit::ScaleReal(fit, p.radius);
  c.hour = clockgeo::HourHand(c.centre, c.radius, hour, minute);
  c.minute = clockgeo::MinuteHand(c.centre, c.radius, minute);
  c.second = clockgeo::SecondHand(c.centre, c.radius, second);
  c.colours = InstalledColours(1);
  return c;
}

bool HandsDrawn(const Shot& s, const void* context) {
  const auto* c = static_cast<const HandsCheck*>(context);
  return NearColour(s, c->hour.tip.x, c->hour.tip.y, 1, c->colours.hourHand) &&
         NearColour(s, c->minute.tip.x, c->minute.tip.y, 1, c->colours.minuteHand) &&
         NearColour(s, c->second.tip.x, c->second.tip.y, 1, c->colours.secondHand);
}

bool HandsErased(const Shot& s, const void* context) {
  const auto* c = static_cast<const HandsCheck*>(context);
  for (const clockgeo::HandLine* h : {&c->hour, &c->minute, &c->second}) {
    const int mx = (h->centre.x + h->tip.x) / 2, my = (h->centre.y + h->tip.y) / 2;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (!s.Has(h->tip.x + dx, h->tip.y + dy) || s.At(h->tip.x + dx, h->tip.y + dy) != c->colours.face) return false;
        if (!s.Has(mx + dx, my + dy) || s.At(mx + dx, my + dy) != c->colours.face) return false;
      }
    }
  }
  return true;
}

bool HandsGone(const Shot& s, const void* context) {
  const auto* c = static_cast<const HandsCheck*>(context);
  const struct {
    const clockgeo::HandLine* line;
    COLORREF colour;
  } hands[] = {
      {&c->hour, c->colours.hourHand}, {&c->minute, c->colours.minuteHand}, {&c->second, c->colours.secondHand}};
  for (const auto& h : hands) {
    const int mx = (h.line->centre.x + h.line->tip.x) / 2, my = (h.line->centre.y + h.line->tip.y) / 2;
    for (const POINT p : {POINT{h.line->tip.x, h.line->tip.y}, POINT{mx, my}}) {
      if (NearColour(s, p.x, p.y, 1, h.colour) || !NearColour(s, p.x, p.y, 1, c->colours.face)) return false;
    }
  }
  return true;
}

bool HasColour(const Shot& s, const void* context) {
  const auto* c = static_cast<const ColourInRect*>(context);
  return s.Count(c->rect, c->colour) >= c->atLeast;
}

}  // namespace pt_face
