// The configuration window's procedure: a dispatch list over small
// handlers. Every handled message returns 0; key messages never reach
// default processing, armed or not.
#include <windows.h>

#include <cwchar>

#include "config/core/commands.h"
#include "config/core/controls.h"
#include "config/core/dialog.h"
#include "config/core/key_caption.h"
#include "config/core/layout.h"
#include "config/core/number_field.h"
#include "config/resource.h"
#include "config/tollwick.h"
#include "platform/menubar.h"
#include "shared/settings.h"

namespace {

const UINT kOkCommand = 113, kCancelCommand = 114;  // the menu bar's and the dialog's

int32_t TextWidth(HDC dc, const wchar_t* text) {
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  return size.cx;
}

// The widths of the texts that decide the dialog's width, in the window's font.
dialog::TextWidths MeasureTexts(HDC dc) {
  dialog::TextWidths w = {0, TextWidth(dc, layout::kLabelTexts[layout::kReactivationLabel]),
                          TextWidth(dc, layout::kLabelTexts[layout::kActivationLabel])};
  for (const controls::Definition& d : controls::kDefinitions) {
    if (d.text == nullptr || d.style != controls::kCheckBox) continue;
    const int32_t width = TextWidth(dc, d.text);
    if (width > w.widestCheckBox) w.widestCheckBox = width;
  }
  return w;
}

// On a PC screen: a fixed dialog with a caption and a close button, the
// device layout for a 240- or 480-pixel client, "Ok" and "Cancel" inside,
// centred in the work area of the monitor it opens on.
void CreateAsDialog(HWND window, const dialog::TextWidths& texts) {
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  SetWindowLongW(window, GWL_STYLE, style);
  g_metrics.L = 0;
  g_metrics.T = 0;
  g_metrics.R = dialog::ClientWidth(texts, g_metrics);
  CreateConfigControls(window);
  const dialog::Buttons b = dialog::PlaceButtons(g_metrics);
  const struct {
    const layout::Box& box;
    UINT id, text, kind;
  } keys[] = {{b.ok, kOkCommand, IDS_OK, BS_DEFPUSHBUTTON}, {b.cancel, kCancelCommand, IDS_CANCEL, BS_PUSHBUTTON}};
  for (const auto& k : keys) {
    wchar_t text[16];
    if (LoadStringW(g_instance, k.text, text, 16) <= 0) text[0] = L'\0';
    CreateWindowExW(0, L"button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | k.kind, k.box.x, k.box.y, k.box.w, k.box.h,
                    window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(k.id)), g_instance, nullptr);
  }
  RECT outer = {0, 0, g_metrics.R, b.clientHeight};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  MONITORINFO mi;
  ZeroMemory(&mi, sizeof(mi));
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &mi);
  const layout::Rect at = dialog::CentreIn({mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom},
                                           outer.right - outer.left, outer.bottom - outer.top);
  SetWindowPos(window, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Text metrics of the window's default font, then the Pocket PC dialog
// sizing, the menu bar and the controls, or on a PC screen the dialog. A
// failed dialog or bar call leaves the window without controls (it can
// still be closed by other means).
void OnCreate(HWND window) {
  HDC dc = GetDC(window);
  TEXTMETRICW tm;
  ZeroMemory(&tm, sizeof(tm));
  GetTextMetricsW(dc, &tm);
  const dialog::TextWidths texts = MeasureTexts(dc);
  ReleaseDC(window, dc);
  g_metrics.LH = tm.tmHeight + tm.tmExternalLeading;
  g_metrics.TH = tm.tmHeight;
  g_metrics.CW = tm.tmAveCharWidth;
  if (dialog::IsPcScreen(GetSystemMetrics(SM_CXSCREEN))) {
    CreateAsDialog(window, texts);
    return;
  }

  SHINITDLGINFO dlg;
  dlg.dwMask = SHIDIM_FLAGS;
  dlg.hDlg = window;
  dlg.dwFlags = SHIDIF_SIZEDLGFULLSCREEN;
  if (!SHInitDialog(&dlg)) return;

  SHMENUBARINFO mb;
  ZeroMemory(&mb, sizeof(mb));
  mb.cbSize = sizeof(mb);
  mb.hwndParent = window;
  mb.nToolBarId = IDR_MENUBAR;
  mb.hInstRes = g_instance;
  if (!SHCreateMenuBar(&mb)) return;
  g_menuBar = mb.hwndMB;

  RECT rc;
  GetClientRect(window, &rc);
  g_metrics.L = rc.left;
  g_metrics.T = rc.top;
  g_metrics.R = rc.right;
  CreateConfigControls(window);
}

// The seven labels follow the client rectangle of each paint; the font's
// sizes stay those fixed at creation.
void OnPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT rc;
  GetClientRect(window, &rc);
  layout::Metrics m = g_metrics;
  m.L = rc.left;
  m.T = rc.top;
  m.R = rc.right;
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);  // the paint context's font is the same default font
  SetTextColor(dc, RGB(0, 0, 0));
  layout::Rect labels[layout::kLabelCount];
  layout::PlaceLabels(m, labels);
  for (int i = 0; i < layout::kLabelCount; ++i) {
    RECT r = {labels[i].left, labels[i].top, labels[i].right, labels[i].bottom};
    DrawTextW(dc, layout::kLabelTexts[i], -1, &r, 0);
  }
  EndPaint(window, &ps);
}

HWND Control(layout::Control c) { return g_controls[c]; }

// Toggles a check box that does not toggle itself; returns the new value.
int32_t Toggle(layout::Control c) {
  int next = controls::Toggled(SendMessageW(Control(c), BM_GETCHECK, 0, 0));
  SendMessageW(Control(c), BM_SETCHECK, static_cast<WPARAM>(next), 0);
  return next;
}

int32_t ReadNumberField(layout::Control c) {
  wchar_t text[numberfield::kMaxChars + 1];
  text[0] = L'\0';
  SendMessageW(Control(c), WM_GETTEXT, numberfield::kMaxChars + 1, reinterpret_cast<LPARAM>(text));
  return numberfield::Parse(text);
}

void SetClock(settings::ClockType type) {
  SendMessageW(Control(layout::kAnalog), BM_SETCHECK, type == settings::kAnalogClock ? 1 : 0, 0);
  SendMessageW(Control(layout::kDigital), BM_SETCHECK, type == settings::kAnalogClock ? 0 : 1, 0);
  g_record.Clock_Type = type;
}

// The user tapped capture button `slot`: arm it (a second tap clears its
// code) and take the keyboard focus so the next keys reach this window.
void OnArm(HWND window, int slot) {
  if (capture::Arm(g_capture, slot, g_record)) ShowKeyCaption(slot, 0);
  SetFocus(window);
}

void OnCommand(HWND window, WPARAM wParam) {
  commands::Decision d = commands::Decide(LOWORD(wParam), HIWORD(wParam));
  switch (d.action) {
    case commands::kOk:
      g_record.TimeOut = ReadNumberField(layout::kTimeOutField);
      g_record.AcActivation = ReadNumberField(layout::kActivationField);
      if (!SaveConfigSettings(&g_record)) {
        TellSettingsNotSaved(window);  // the window stays
        break;
      }
      capture::Disarm(g_capture);
      SendMessageW(window, WM_CLOSE, 0, 0);
      break;
    case commands::kCancel:
      capture::Disarm(g_capture);
      SendMessageW(window, WM_CLOSE, 0, 0);
      break;
    case commands::kArm: OnArm(window, d.slot); break;
    case commands::kToggleAutoRun:
      // "Activate on Startup" keeps its check; only its availability follows.
      g_record.AutoRun = Toggle(layout::kAutoRun);
      EnableWindow(Control(layout::kStartup), g_record.AutoRun != 0);
      break;
    case commands::kAnalog: SetClock(settings::kAnalogClock); break;
    case commands::kDigital: SetClock(settings::kDigitalClock); break;
    case commands::kToggleOnAC:
      g_record.EnableOnAC = Toggle(layout::kOnAC);
      EnableWindow(Control(layout::kActivationField), g_record.EnableOnAC != 0);
      EnableWindow(Control(layout::kActivationSpin), g_record.EnableOnAC != 0);
      break;
    case commands::kToggleStartup: g_record.ActivateAtStartup = Toggle(layout::kStartup); break;
    case commands::kToggleDoubleClick: g_record.DoubleClick = Toggle(layout::kDoubleClick); break;
    case commands::kNothing: break;
  }
}

// A key message: key-downs are captured into the armed slot; characters and
// system commands are only consumed.
void OnKey(UINT msg, WPARAM wParam) {
  capture::Outcome o = capture::OnKeyMessage(g_capture, msg, static_cast<uint64_t>(wParam), g_record);
  if (o.slot != 0) ShowKeyCaption(o.slot, o.code);
}

}  // namespace

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (capture::IsKeyMessage(msg)) {
    // The caption's close button, the taskbar's "Close window" and an idle
    // Escape are "Cancel"; every other key message is capture input.
    if (capture::ClosesWindow(g_capture, msg, static_cast<uint64_t>(wParam))) {
      OnCommand(window, MAKEWPARAM(kCancelCommand, 0));
    } else {
      OnKey(msg, wParam);
    }
    return 0;
  }
  switch (msg) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_ACTIVATE:
      // Deactivated, or activated by a click: the armed slot stops waiting.
      if (LOWORD(wParam) != WA_ACTIVE) capture::Disarm(g_capture);
      return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_COMMAND: OnCommand(window, wParam); return 0;
    default: return DefWindowProcW(window, msg, wParam, lParam);
  }
}
