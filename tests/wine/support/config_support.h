// Driving the configuration program (Tollwick) from the tests: its window,
// its controls and menu bar, the layout it should have, and what it drew.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "config/core/layout.h"
#include "tests/wine/support/support.h"

namespace wt {

struct Tollwick {
  HANDLE process = nullptr;
  HWND window = nullptr;
};

// Starts an installed program inside this test's job, so that it and every
// process it starts (a service started by Tollwick, a lock screen started
// by that service) can be ended together: a process left running would
// hold the test runner's output open.
HANDLE StartInJob(const wchar_t* file, const wchar_t* args);
// How many processes the job has held so far (ended ones included): a
// program that started and ended at once is counted as surely as one that
// stays.
int JobProcessesEver();
// Ends every process of the job and waits until it is empty.
void EndJob();

// Starts the installed Tollwick.exe (in the job) and waits for its window (class
// "TOLLWICK", title "Configuration"), its controls and its message loop.
Tollwick StartTollwick();
// Presses "Ok" (113) or "Cancel" (114), a menu-bar key or, on a PC
// screen, a button of the dialog, with a real button click and waits for
// the program to end; its exit code, -1 on a time-out.
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

// The fixture of a test of one Tollwick, t_: it, and every process it
// started, ended after the test.
class TollwickTest : public SuiteTest {
 protected:
  void TearDown() override {
    CloseHandles(t_);
    EndJob();
    SuiteTest::TearDown();
  }
  Tollwick t_;
};

// Tollwick as the dialog of a PC screen, with the harness's taskbar (the
// work area ends 40 pixels above the bottom): a caption with a close
// button and no menu bar, every control where the layout of its class
// width puts it, "Ok" and "Cancel" inside, the window centred in the work
// area; the close command is "Cancel" (exit code 0, nothing saved).
void CheckConfigDialog(Tollwick* t);

// Draws the seven labels at `labels` (client coordinates) with DrawTextW
// (format 0, black, the system font, on white) and compares the rectangle
// of label `index` with what the screen shows there, leaving out pixels
// under child controls. Returns the number of differing pixels and, in
// *ink, the black pixels the reference has there (so a test can see that
// there was text to compare).
int LabelMismatches(HWND window, const layout::Rect labels[layout::kLabelCount], int index, int* ink);

}  // namespace wt
