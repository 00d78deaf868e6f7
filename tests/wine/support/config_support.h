// Driving the configuration program (Tollwick) from the tests: its window,
// its controls and menu bar, the layout it should have, and what it drew.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "config/core/layout.h"

namespace wt {

struct Tollwick {
  HANDLE process = nullptr;
  HWND window = nullptr;
};

// Starts the installed Tollwick.exe and waits for its window (class
// "TOLLWICK", title "Configuration"), its controls and its message loop.
Tollwick StartTollwick();
// Presses a menu-bar key (113 "Ok", 114 "Cancel") with a real button click
// and waits for the program to end; its exit code, -1 on a time-out.
int CloseTollwick(Tollwick& t, int command);
void CloseHandles(Tollwick& t);

// The two-key bar that SHCreateMenuBar made for `window` (NULL if none).
HWND MenuBarOf(HWND window);
HWND ControlOf(HWND window, int id);
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
// L, T, R from the client rectangle and LH, TH, CW from the window's font.
layout::Metrics MetricsOf(HWND window);
// A click on a button of another process (BM_CLICK: press and release).
void Click(HWND button);
// The names of every value under the settings key.
std::vector<std::wstring> SettingNames();
bool SettingsKeyExists();

// Draws the seven labels at `labels` (client coordinates) with DrawTextW
// (format 0, black, the system font, on white) and compares the rectangle
// of label `index` with what the screen shows there, leaving out pixels
// under child controls. Returns the number of differing pixels and, in
// *ink, the black pixels the reference has there (so a test can see that
// there was text to compare).
int LabelMismatches(HWND window, const layout::Rect labels[layout::kLabelCount], int index, int* ink);

}  // namespace wt
