// Benchmark of the lock screen's paint (lockscreen/paint.cpp, clock.cpp and
// skin.cpp, linked as they are) against a floor, in one process and one
// run: the floor is a bare paint that decodes the same JPEG with WIC,
// copies it (on a PC screen stretched over the fitted face's place, as the
// paint does) and draws ten lines of text (in a font of the face's scale). Both paint a full-screen popup of
// this program; each paint is forced with InvalidateRect + UpdateWindow and
// timed around UpdateWindow. Then one analog clock update alone
// (Clock_AnalogUpdate: erase and draw three hands and the cap), timed
// after each round of full paints.
// Usage: paint_bench.exe MODULE_DIR CLOCK_TYPE REPEATS
// Prints one line per figure: name, median and quartiles in milliseconds,
// and the rows of bench/bench_rows.h.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "bench/bench_rows.h"
#include "lockscreen/appointments.h"
#include "lockscreen/clock.h"
#include "lockscreen/core/face_fit.h"
#include "lockscreen/lockscreen.h"
#include "lockscreen/paint.h"
#include "lockscreen/skin.h"
#include "lockscreen/status.h"
#include "platform/image.h"

// What the paint reads from the rest of the lock screen, as a lock screen
// in a refresh period would hold it.
LockScreenState g_lockScreen;
void StartRefreshIfIdle(void) {}
void Status_GetBattery(wchar_t text[32], int* percent, BOOL* known) {
  wcscpy(text, L"B[ 80%]");
  *percent = 80;
  *known = TRUE;
}
BOOL Appointments_LineSource(wchar_t line[256], int k) {
  if (k >= 4) return FALSE;
  swprintf(line, 256, L"Mon 10:%02d  Appointment number %d", 10 * k, k + 1);
  return TRUE;
}
void Appointments_GetErrorText(wchar_t text[128]) { text[0] = L'\0'; }

namespace {

bool s_floor = false;
wchar_t s_floorPicture[MAX_PATH];
facefit::FaceChoice s_face;
HFONT s_floorFont = nullptr;  // the date line's 14 pixels at the face's scale (none on a device class)

// The floor's paint: decode, copy, ten lines, release.
void FloorPaint(HWND window) {
  HBITMAP bitmap = SHLoadImageFile(s_floorPicture);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  SetBkMode(dc, TRANSPARENT);
  RECT client;
  GetClientRect(window, &client);
  const facefit::FaceFit fit = facefit::FitFace(s_face, {client.left, client.top, client.right, client.bottom});
  const layout::Rect face = facefit::MapRect(fit, fit.face);
  if (bitmap != nullptr) {
    BITMAP b;
    GetObjectW(bitmap, sizeof(b), &b);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (s_face.fitted) {
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, face.left, face.top, face.right - face.left, face.bottom - face.top, memory, 0, 0, b.bmWidth,
                 b.bmHeight, SRCCOPY);
    } else {
      BitBlt(dc, 0, 0, b.bmWidth, b.bmHeight, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  if (s_floorFont != nullptr) SelectObject(dc, s_floorFont);
  SetTextColor(dc, RGB(230, 230, 230));
  const int pitch = facefit::ScaleLength(fit, 20), height = facefit::ScaleLength(fit, 18);
  for (int i = 0; i < 10; ++i) {
    RECT r{face.left, face.top + pitch * i, face.right, face.top + pitch * i + height};
    DrawTextW(dc, L"Line of text 0123456789", -1, &r, DT_CENTER);
  }
  EndPaint(window, &ps);
  if (bitmap != nullptr) DeleteObject(bitmap);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (!s_floor) Paint_OnCreate(window);
      return 0;
    case WM_PAINT:
      if (s_floor) FloorPaint(window);
      else Paint_OnPaint(window);
      return 0;
    case WM_DESTROY:
      if (!s_floor) Paint_OnDestroy(window);
      else PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void Report(const char* name, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  printf("%-28s n=%zu median=%.3f ms q1=%.3f q3=%.3f\n", name, n, v[n / 2], v[n / 4], v[3 * n / 4]);
  fflush(stdout);
}

HWND MakeWindow(HINSTANCE instance) {
  return CreateWindowExW(WS_EX_TOPMOST, L"PaintBench", L"PaintBench", WS_POPUP | WS_VISIBLE, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance,
                         nullptr);
}

void Drain() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

std::vector<double> TimePaints(HWND window, int repeats) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  std::vector<double> t;
  for (int i = 0; i < repeats + 5; ++i) {
    InvalidateRect(window, nullptr, TRUE);
    QueryPerformanceCounter(&a);
    UpdateWindow(window);
    QueryPerformanceCounter(&b);
    Drain();
    if (i >= 5) t.push_back(Ms(a, b, f));  // the first five warm the caches
  }
  return t;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: paint_bench MODULE_DIR CLOCK_TYPE REPEATS\n");
    return 2;
  }
  wcsncpy(g_lockScreen.ownerName, L"Ada Lovelace", 63);
  wcsncpy(g_lockScreen.moduleDir, argv[1], 199);
  g_lockScreen.settings.Clock_Type = _wtoi(argv[2]);
  g_lockScreen.settings.ShowSeconds = 1;
  const int repeats = _wtoi(argv[3]) > 0 ? _wtoi(argv[3]) : 100;
  g_lockScreen.status.unreadSms = 2;
  g_lockScreen.status.missedCalls = 1;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  g_lockScreen.instance = instance;
  g_lockScreen.skin = Skin_Load(g_lockScreen.moduleDir, g_lockScreen.settings.Clock_Type);

  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"PaintBench";
  RegisterClassW(&wc);

  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  s_face = facefit::ChooseFace(w, h);
  wchar_t relative[layout::kImagePathCapacity];
  layout::ImagePath(relative, layout::kImagePathCapacity, g_lockScreen.settings.Clock_Type, w >= h,
                    s_face.skin.fileName);
  if (s_face.fitted) {
    LOGFONTW lf;
    ZeroMemory(&lf, sizeof(lf));
    lf.lfHeight = facefit::ScaleLength(facefit::FitFace(s_face, {0, 0, w, h}), 14);
    lf.lfWeight = 700;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = 1;
    s_floorFont = CreateFontIndirectW(&lf);
  }
  swprintf(s_floorPicture, MAX_PATH, L"%ls%ls", g_lockScreen.moduleDir, relative);
  printf("screen %dx%d, picture %ls, Clock_Type %d, %d paints each in rounds of 20 (warm: 5 untimed per round)\n", w, h,
         relative, g_lockScreen.settings.Clock_Type, (repeats + 19) / 20 * 20);

  // Floor and full paint take turns in rounds of 20, each on a fresh
  // window, so that a slow spell of the shared machine weighs on both.
  std::vector<double> floor, full, analog;
  const int rounds = (repeats + 19) / 20;
  for (int round = 0; round < rounds; ++round) {
    s_floor = true;
    HWND floorWindow = MakeWindow(instance);
    Drain();
    for (double t : TimePaints(floorWindow, 20)) floor.push_back(t);
    DestroyWindow(floorWindow);
    Drain();

    s_floor = false;
    g_lockScreen.window = MakeWindow(instance);
    Drain();
    for (double t : TimePaints(g_lockScreen.window, 20)) full.push_back(t);
    if (g_lockScreen.settings.Clock_Type == settings::kAnalogClock) {
      LARGE_INTEGER f, a, b;
      QueryPerformanceFrequency(&f);
      for (int i = 0; i < 20; ++i) {
        QueryPerformanceCounter(&a);
        Clock_AnalogUpdate();
        QueryPerformanceCounter(&b);
        analog.push_back(Ms(a, b, f));
      }
    }
    DestroyWindow(g_lockScreen.window);
    g_lockScreen.window = nullptr;
    Drain();
  }

  Report("floor (WIC + copy + 10 lines)", floor);
  Report("full paint", full);
  std::vector<double> f2 = floor, p2 = full;
  std::sort(f2.begin(), f2.end());
  std::sort(p2.begin(), p2.end());
  printf("%-28s %.2f (goal <= 1.5)\n", "ratio full/floor (medians)", p2[p2.size() / 2] / f2[f2.size() / 2]);
  if (!analog.empty()) Report("analog clock update", analog);

  char label[96], n[32];
  const char* skin = g_lockScreen.settings.Clock_Type == settings::kAnalogClock ? "analog" : "digital";
  const double ratio = rows::MedianOf(full) / rows::MedianOf(floor);
  snprintf(n, sizeof(n), "%zu", full.size());
  const std::vector<double> none;
  snprintf(label, sizeof(label), "full paint %dx%d, %s skin", w, h, skin);
  rows::Row(label, full, "ms", n, floor, rows::kRatio, "<= 1.5x floor", ratio <= 1.5, "-");
  rows::Row(s_face.fitted ? "  floor: WIC decode + scaled copy + 10 lines" : "  floor: WIC decode + copy + 10 lines",
            floor, "ms", n, none, rows::kNone, "-", -1, "-");
  if (!analog.empty()) {
    // On a PC screen the hands and pens are scaled up: a goal of its own.
    const double goal = s_face.fitted ? 2.0 : 1.0;
    snprintf(n, sizeof(n), "%zu", analog.size());
    snprintf(label, sizeof(label), "analog clock update %dx%d", w, h);
    rows::Row(label, analog, "ms", n, none, rows::kNone, s_face.fitted ? "<= 2 ms" : "<= 1 ms",
              rows::MedianOf(analog) <= goal, "-");
  }
  if (s_floorFont != nullptr) DeleteObject(s_floorFont);
  return 0;
}
