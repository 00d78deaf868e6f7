// Process-wide state of the configuration program and the procedures its
// files share. One window, one thread, no heap.
#pragma once
#include <windows.h>

#include "config/core/capture.h"
#include "config/core/layout.h"
#include "shared/core/settings_rules.h"

// The settings record, edited live by the check boxes, radio buttons and
// capture buttons; the number fields are copied into it only on "Ok".
extern settings::ConfigSettings g_record;
extern HINSTANCE g_instance;
extern HWND g_window;
extern HWND g_menuBar;  // NULL while no menu bar exists
// L, T, R of the client rectangle and the font's LH, TH, CW, fixed when the
// window is created (the labels re-read L, T, R at every paint).
extern layout::Metrics g_metrics;
extern HWND g_controls[layout::kControlCount];
extern capture::State g_capture;

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Creates the fourteen controls at their places with their start states.
void CreateConfigControls(HWND window);
// Shows the key caption of capture slot 1..4 for `code`.
void ShowKeyCaption(int slot, int32_t code);

// "Ok" could not save: says so over `owner` (save_failure.cpp).
void TellSettingsNotSaved(HWND owner);

// Runs once after the message loop: makes the start-up shortcut and the
// lock service follow `autoRun`.
void ExitStep(int32_t autoRun);
