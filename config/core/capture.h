// The capture of hardware buttons by the four capture buttons: which slot
// waits for a key, what arming, disarming and a key message do to it and to
// the settings record. Pure, so that every path is unit-tested natively.
//
// Only key-down messages capture. The character and system-command messages
// that follow a key-down are consumed without capturing: the character made
// from 'a' (0x61) is the code of the numeric pad's 1, and storing it would
// set an unlock button that no key-down ever sends, locking the user out.
#pragma once
#include <cstdint>

#include "shared/core/settings_rules.h"

namespace capture {

constexpr uint32_t kWmKeyDown = 0x0100;
constexpr uint32_t kWmChar = 0x0102;
constexpr uint32_t kWmSysKeyDown = 0x0104;
constexpr uint32_t kWmSysChar = 0x0106;
constexpr uint32_t kWmSysCommand = 0x0112;

// Slot 0 is idle; 1..4 are "Button1", "Button2", "Ignore1", "Ignore2".
struct State {
  int16_t slot = 0;
};

// 1..4 for the capture buttons' identifiers 0x8801..0x8804, else 0.
int SlotOfCommand(uint32_t id);
// The identifier of slot 1..4.
uint16_t CommandOfSlot(int slot);
// The settings field a slot fills (nullptr for slot 0 or out of range).
int32_t* FieldOf(settings::ConfigSettings& s, int slot);

// Arm slot k (1..4). Arming the slot that already waits clears its field
// and returns true (the caller shows the default caption again). A slot
// that was waiting before simply stops waiting and keeps its code.
bool Arm(State& st, int k, settings::ConfigSettings& s);

// Back to idle; no field or caption changes.
void Disarm(State& st);

// The five messages the window consumes as key input, armed or not; none of
// them reaches default processing.
bool IsKeyMessage(uint32_t msg);
// Of those, the ones whose code is captured: WM_KEYDOWN and WM_SYSKEYDOWN.
bool CapturesFrom(uint32_t msg);
// The ones that close the window as "Cancel" does, so that it can be closed
// when its "Cancel" cannot be reached: the system command SC_CLOSE (the
// caption's close button, the taskbar's "Close window"; Alt+F4 never makes
// one, its key-downs are consumed) and Escape while no slot waits for a key
// (an armed slot captures Escape like any other key).
bool ClosesWindow(const State& st, uint32_t msg, uint64_t wParam);

// What a key message did: slot 0 when nothing was captured; otherwise the
// slot whose field now holds `code` (the caller sets its caption).
struct Outcome {
  int slot;
  int32_t code;
};
// A code equal to either ignore code is never captured, for any slot.
// The slot stays armed after a capture.
Outcome OnKeyMessage(const State& st, uint32_t msg, uint64_t wParam, settings::ConfigSettings& s);

}  // namespace capture
