// What a WM_COMMAND does in the configuration window, from its identifier
// (low word of wParam) and notification code (high word). Pure: the window
// procedure only carries out the action named here.
#pragma once
#include <cstdint>

namespace commands {

enum Action : int {
  kNothing = 0,        // number fields, spin controls, anything else
  kOk,                 // read both fields, save, then as Cancel
  kCancel,             // disarm and close
  kArm,                // a capture button (slot in Decision)
  kToggleAutoRun,      // toggle, store, enable "Activate on Startup" to match
  kAnalog,             // check analog, uncheck digital, Clock_Type 1
  kDigital,            // check digital, uncheck analog, Clock_Type 2
  kToggleOnAC,         // toggle, store, enable the activation field and spin
  kToggleStartup,      // toggle, store ActivateAtStartup
  kToggleDoubleClick,  // toggle, store DoubleClick
};

struct Decision {
  Action action;
  int slot;  // 1..4 for kArm, else 0
};

// The check boxes act only on notification code 0 (a click); the capture
// buttons, the radio buttons and the menu bar act on any code.
Decision Decide(uint16_t id, uint16_t code);

}  // namespace commands
