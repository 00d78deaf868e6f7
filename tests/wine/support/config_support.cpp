// Helpers for the configuration program's integration tests.
#include "tests/wine/support/config_support.h"

#include "config/core/controls.h"
#include "config/core/dialog.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "tests/wine/support/support.h"

namespace wt {

namespace {

const DWORD kStartWaitMs = 10000;

}  // namespace

namespace {
HANDLE g_job = nullptr;
}  // namespace

HANDLE StartInJob(const wchar_t* file, const wchar_t* args) {
  if (g_job == nullptr) {
    g_job = CreateJobObjectW(nullptr, nullptr);
    if (g_job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof(limits));
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(g_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
  }
  std::wstring path = InstalledPath(file);
  std::wstring cmd = L"\"" + path + L"\" " + args;
  std::vector<wchar_t> line(cmd.begin(), cmd.end());
  line.push_back(L'\0');
  STARTUPINFOW si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof(pi));
  if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
    return nullptr;
  AssignProcessToJobObject(g_job, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

int JobProcessesEver() {
  if (g_job == nullptr) return 0;
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
  ZeroMemory(&info, sizeof(info));
  if (!QueryInformationJobObject(g_job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr)) return -1;
  return static_cast<int>(info.TotalProcesses);
}

void EndJob() {
  if (g_job == nullptr) return;
  TerminateJobObject(g_job, 1);
  WaitFor(
      [] {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
        ZeroMemory(&info, sizeof(info));
        if (!QueryInformationJobObject(g_job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
          return true;
        return info.ActiveProcesses == 0;
      },
      wt::kProcessMs);
}

Tollwick StartTollwick() {
  Tollwick t;
  t.process = StartInJob(L"Tollwick.exe", L"");
  if (t.process == nullptr) return t;
  t.window = WaitWindow(L"TOLLWICK", L"Configuration", kStartWaitMs);
  // The window exists from inside CreateWindow on; wait until start-up has
  // shown it and the message loop runs (input is open from then on).
  if (t.window != nullptr) {
    WaitFor([&] { return IsWindowVisible(t.window) && GetDlgItem(t.window, 0x8812) != nullptr; }, kStartWaitMs);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(t.window, WM_NULL, 0, 0, SMTO_NORMAL, kStartWaitMs, &result);
  }
  return t;
}

HWND MenuBarOf(HWND window) {
  struct Search {
    HWND owner;
    HWND found;
  } s = {window, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        Search* s = reinterpret_cast<Search*>(p);
        if (GetWindow(w, GW_OWNER) == s->owner && ClassOf(w) == L"OV_MENUBAR") {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int CloseTollwick(Tollwick& t, int command) {
  // On a device screen the keys are on the menu bar; as a PC dialog they
  // are buttons of the window itself.
  HWND bar = MenuBarOf(t.window);
  HWND key = GetDlgItem(bar != nullptr ? bar : t.window, command);
  if (key == nullptr) return -3;
  Click(key);
  return WaitExit(t.process, kStartWaitMs);
}

void CloseHandles(Tollwick& t) {
  if (t.process != nullptr) CloseHandle(t.process);
  t.process = nullptr;
  t.window = nullptr;
}

HWND ControlOf(HWND window, int id) { return GetDlgItem(window, id); }

std::wstring TextOf(HWND window) {
  wchar_t text[256] = L"";
  // For a window of another process GetWindowTextW returns the stored
  // caption without asking the window; an edit field keeps its text itself,
  // so it is asked with WM_GETTEXT.
  if (_wcsicmp(ClassOf(window).c_str(), L"Edit") == 0) {
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, wt::kStepMs, &copied);
  } else {
    GetWindowTextW(window, text, 256);
  }
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = L"";
  GetClassNameW(window, name, 128);
  return name;
}

RECT RectInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

layout::Metrics MetricsOf(HWND window) {
  layout::Metrics m = {0, 0, 0, 0, 0, 0};
  RECT rc;
  GetClientRect(window, &rc);
  m.L = rc.left;
  m.T = rc.top;
  m.R = rc.right;
  HDC dc = GetDC(window);
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  ReleaseDC(window, dc);
  m.LH = tm.tmHeight + tm.tmExternalLeading;
  m.TH = tm.tmHeight;
  m.CW = tm.tmAveCharWidth;
  return m;
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

std::vector<std::wstring> SettingNames() {
  std::vector<std::wstring> names;
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", 0, KEY_READ, &h) != ERROR_SUCCESS)
    return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD len = 256;
    if (RegEnumValueW(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  RegCloseKey(h);
  return names;
}

bool SettingsKeyExists() {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

namespace {

// A top-down 32-bit DIB section selected into a memory DC.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  const uint32_t* bits = nullptr;
  int w = 0, h = 0;
  Canvas(int width, int height) : w(width), h(height) {
    BITMAPINFO bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<const uint32_t*>(p);
    old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint32_t At(int x, int y) const { return bits[y * w + x] & 0xFFFFFF; }
};

}  // namespace

int LabelMismatches(HWND window, const layout::Rect labels[layout::kLabelCount], int index, int* ink) {
  const layout::Rect& r = labels[index];
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return -1;
  Canvas screen(w, h), reference(w, h);
  HDC sdc = GetDC(nullptr);
  BitBlt(screen.dc, 0, 0, w, h, sdc, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, sdc);
  PatBlt(reference.dc, 0, 0, w, h, WHITENESS);
  SelectObject(reference.dc, GetStockObject(SYSTEM_FONT));
  SetTextColor(reference.dc, RGB(0, 0, 0));
  for (int i = 0; i < layout::kLabelCount; ++i) {
    RECT lr = {labels[i].left, labels[i].top, labels[i].right, labels[i].bottom};
    DrawTextW(reference.dc, layout::kLabelTexts[i], -1, &lr, 0);
  }
  GdiFlush();
  std::vector<RECT> covered;
  for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    covered.push_back(RectInParent(c));
  int differ = 0;
  *ink = 0;
  for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, h); ++y) {
    for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, w); ++x) {
      POINT pt = {x, y};
      bool hidden = false;
      for (const RECT& c : covered) hidden = hidden || PtInRect(&c, pt);
      if (hidden) continue;
      if (reference.At(x, y) == 0) ++*ink;
      if (reference.At(x, y) != screen.At(x, y)) ++differ;
    }
  }
  return differ;
}

void CheckConfigDialog(Tollwick* t) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  ASSERT_EQ(work.bottom, GetSystemMetrics(SM_CYSCREEN) - 40);
  *t = StartTollwick();
  ASSERT_NE(t->window, nullptr);
  const LONG style = GetWindowLongW(t->window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
  EXPECT_EQ(MenuBarOf(t->window), nullptr);

  // The device layout for a 240- or 480-pixel client, the narrower one
  // only when the texts fit it: each label ends before the number field on
  // its row and the check box texts fit their boxes (measured here in the
  // same default font).
  const layout::Metrics m = MetricsOf(t->window);
  EXPECT_TRUE(m.R - m.L == 240 || m.R - m.L == 480) << m.R;
  layout::Box want[layout::kControlCount];
  layout::PlaceControls(m, want);
  layout::Rect labels[layout::kLabelCount];
  layout::PlaceLabels(m, labels);
  HDC dc = GetDC(t->window);
  auto width = [&](const wchar_t* text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    return static_cast<int32_t>(size.cx);
  };
  EXPECT_LE(labels[layout::kReactivationLabel].left + width(layout::kLabelTexts[layout::kReactivationLabel]),
            want[layout::kTimeOutField].x);
  EXPECT_LE(labels[layout::kActivationLabel].left + width(layout::kLabelTexts[layout::kActivationLabel]),
            want[layout::kActivationField].x);
  for (const controls::Definition& d : controls::kDefinitions) {
    if (d.style == controls::kCheckBox) EXPECT_LE(width(d.text) + m.LH + 8, want[layout::kDoubleClick].w);
  }
  ReleaseDC(t->window, dc);
  for (int i = 0; i < layout::kControlCount; ++i) {
    SCOPED_TRACE(i);
    const RECT r = RectInParent(ControlOf(t->window, controls::kDefinitions[i].id));
    EXPECT_TRUE(r.left == want[i].x && r.top == want[i].y && r.right - r.left == want[i].w &&
                r.bottom - r.top == want[i].h);
  }
  const dialog::Buttons b = dialog::PlaceButtons(m);
  const struct {
    int id;
    const wchar_t* text;
    layout::Box box;
  } keys[] = {{113, L"Ok", b.ok}, {114, L"Cancel", b.cancel}};
  for (const auto& k : keys) {
    HWND key = ControlOf(t->window, k.id);
    ASSERT_NE(key, nullptr) << k.id;
    EXPECT_EQ(TextOf(key), k.text);
    const RECT r = RectInParent(key);
    EXPECT_TRUE(r.left == k.box.x && r.top == k.box.y && r.right - r.left == k.box.w && r.bottom - r.top == k.box.h);
  }
  RECT client, window;
  GetClientRect(t->window, &client);
  GetWindowRect(t->window, &window);
  EXPECT_EQ(client.bottom, b.clientHeight);
  const layout::Rect centred = dialog::CentreIn({work.left, work.top, work.right, work.bottom},
                                                window.right - window.left, window.bottom - window.top);
  EXPECT_EQ(window.left, centred.left);
  EXPECT_EQ(window.top, centred.top);
  EXPECT_GE(window.top, work.top);
  EXPECT_LE(window.bottom, work.bottom);

  // The caption's close button sends SC_CLOSE: "Cancel".
  Click(ControlOf(t->window, 0x8815));
  PostMessageW(t->window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(WaitExit(t->process, kStartWaitMs), 0);
  DWORD v = 0;
  EXPECT_FALSE(GetSetting(L"DoubleClick", &v));
}

}  // namespace wt
