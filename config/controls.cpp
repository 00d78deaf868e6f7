// Creating the configuration window's controls from the control table, at
// the computed places, with their start states.
//
// Two desktop differences are mended after creation and can be read back:
// the up-down control sizes itself 16 pixels wide and both it and the edit
// field drop WS_BORDER, so size and style are set again; and the up-down
// clamps its position into its range, so the field is given the stored
// number itself (a stored 500 shows 500 and an untouched "Ok" saves 500).
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "config/core/controls.h"
#include "config/core/key_caption.h"
#include "config/tollwick.h"

namespace {

HMENU IdOf(uint16_t id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

void ForceStyleAndBox(HWND control, uint32_t style, const layout::Box& b) {
  SetWindowLongW(control, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(control, nullptr, b.x, b.y, b.w, b.h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void ShowNumber(HWND field, int32_t value) {
  wchar_t text[16];
  swprintf(text, 16, L"%d", static_cast<int>(value));
  SetWindowTextW(field, text);
}

int SlotOfControl(int index) { return index <= layout::kIgnore2 ? index + 1 : 0; }

int32_t CodeOfSlot(int slot) {
  int32_t* field = capture::FieldOf(g_record, slot);
  return field != nullptr ? *field : 0;
}

}  // namespace

void ShowKeyCaption(int slot, int32_t code) {
  if (slot < 1 || slot > 4) return;
  wchar_t text[keycaption::kCapacity];
  keycaption::Caption(slot, code, text);
  SendMessageW(g_controls[slot - 1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CreateConfigControls(HWND window) {
  layout::Box boxes[layout::kControlCount];
  layout::PlaceControls(g_metrics, boxes);
  const controls::Initial start = controls::InitialStates(g_record);
  for (int i = 0; i < layout::kControlCount; ++i) {
    const controls::Definition& s = controls::kDefinitions[i];
    const layout::Box& b = boxes[i];
    HWND c = nullptr;
    if (s.kind == controls::kUpDown) {
      const bool timeOut = i == layout::kTimeOutSpin;
      HWND buddy = g_controls[i - 1];
      const int32_t value = timeOut ? g_record.TimeOut : g_record.AcActivation;
      c = CreateUpDownControl(s.style, b.x, b.y, b.w, b.h, window, s.id, g_instance, buddy,
                              timeOut ? controls::kTimeOutSpinUpper : controls::kActivationSpinUpper,
                              timeOut ? controls::kTimeOutSpinLower : controls::kActivationSpinLower, value);
      if (c != nullptr) ForceStyleAndBox(c, s.style, b);
      ShowNumber(buddy, value);
    } else {
      wchar_t caption[keycaption::kCapacity];
      const wchar_t* text = s.text;
      if (text == nullptr) {
        const int slot = SlotOfControl(i);
        keycaption::Caption(slot, CodeOfSlot(slot), caption);
        text = caption;
      }
      c = CreateWindowExW(0, s.className, text, s.style, b.x, b.y, b.w, b.h, window, IdOf(s.id), g_instance, nullptr);
      if (c != nullptr && s.kind == controls::kEdit) ForceStyleAndBox(c, s.style, b);
    }
    g_controls[i] = c;
    if (start.check[i] >= 0) SendMessageW(c, BM_SETCHECK, static_cast<WPARAM>(start.check[i]), 0);
    if (i == layout::kStartup && !start.enabled[i]) EnableWindow(c, FALSE);
  }
  // Once every control exists: the activation time follows "Enable on AC".
  if (g_record.EnableOnAC == 0) {
    EnableWindow(g_controls[layout::kActivationField], FALSE);
    EnableWindow(g_controls[layout::kActivationSpin], FALSE);
  }
}
