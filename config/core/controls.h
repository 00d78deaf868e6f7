// The fourteen controls of the configuration window: class, fixed text,
// style and identifier, and the states they start in for a settings
// record. Pure data and rules, so a test can hold the running window
// against the same table it was built from and against hand-written values.
#pragma once
#include <cstdint>

#include "config/core/layout.h"
#include "shared/core/settings_rules.h"

namespace controls {

// Identifiers.
constexpr uint16_t kIdButton1 = 0x8801;
constexpr uint16_t kIdButton2 = 0x8802;
constexpr uint16_t kIdIgnore1 = 0x8803;
constexpr uint16_t kIdIgnore2 = 0x8804;
constexpr uint16_t kIdAutoRun = 0x8805;
constexpr uint16_t kIdAnalog = 0x8806;
constexpr uint16_t kIdDigital = 0x8807;
constexpr uint16_t kIdTimeOutField = 0x8808;
constexpr uint16_t kIdTimeOutSpin = 0x8809;
constexpr uint16_t kIdOnAC = 0x8810;
constexpr uint16_t kIdActivationField = 0x8811;
constexpr uint16_t kIdActivationSpin = 0x8812;
constexpr uint16_t kIdStartup = 0x8814;
constexpr uint16_t kIdDoubleClick = 0x8815;

// Menu-bar commands.
constexpr uint16_t kIdOk = 113;
constexpr uint16_t kIdCancel = 114;

// Styles.
constexpr uint32_t kPushButton = 0x50000000;   // WS_CHILD | WS_VISIBLE
constexpr uint32_t kCheckBox = 0x50000002;     // + BS_CHECKBOX (does not toggle itself)
constexpr uint32_t kRadioButton = 0x50000004;  // + BS_RADIOBUTTON (does not check itself)
constexpr uint32_t kNumberField = 0x50800000;  // WS_CHILD | WS_VISIBLE | WS_BORDER
constexpr uint32_t kSpin = 0x50800002;         // + UDS_SETBUDDYINT

enum Kind : int { kButton, kEdit, kUpDown };

struct Definition {
  Kind kind;
  const wchar_t* className;  // window class; the up-down's is the common control's
  const wchar_t* text;       // nullptr: a capture button's key caption
  uint32_t style;
  uint16_t id;
};

// In creation order (layout::Control).
extern const Definition kDefinitions[layout::kControlCount];

// Spin ranges: upper limit 0 and lower limit 120 (30), reversed on purpose
// so the up arrow steps toward 0.
constexpr int32_t kTimeOutSpinUpper = 0;
constexpr int32_t kTimeOutSpinLower = 120;
constexpr int32_t kActivationSpinUpper = 0;
constexpr int32_t kActivationSpinLower = 30;

// How a control starts: its check (-1 for controls that have none) and
// whether it is enabled.
struct Initial {
  int check[layout::kControlCount];
  bool enabled[layout::kControlCount];
};
Initial InitialStates(const settings::ConfigSettings& s);

// The value a toggled check box takes from its BM_GETCHECK answer.
inline int Toggled(intptr_t current) { return current == 0 ? 1 : 0; }

}  // namespace controls
