// The control table and the start states of the configuration window.
#include "config/core/controls.h"

namespace controls {

const Definition kDefinitions[layout::kControlCount] = {
    {kButton, L"button", nullptr, kPushButton, kIdButton1},
    {kButton, L"button", nullptr, kPushButton, kIdButton2},
    {kButton, L"button", nullptr, kPushButton, kIdIgnore1},
    {kButton, L"button", nullptr, kPushButton, kIdIgnore2},
    {kButton, L"button", L"Enable Double-Click unlock", kCheckBox, kIdDoubleClick},
    {kButton, L"button", L"Enable AutoRun mode", kCheckBox, kIdAutoRun},
    {kButton, L"button", L"Activate on Startup", kCheckBox, kIdStartup},
    {kButton, L"button", L"Analog Clock", kRadioButton, kIdAnalog},
    {kButton, L"button", L"Digital Clock", kRadioButton, kIdDigital},
    {kEdit, L"edit", L"", kNumberField, kIdTimeOutField},
    {kUpDown, L"msctls_updown32", L"", kSpin, kIdTimeOutSpin},
    {kButton, L"button", L"Enable on AC Power", kCheckBox, kIdOnAC},
    {kEdit, L"edit", L"", kNumberField, kIdActivationField},
    {kUpDown, L"msctls_updown32", L"", kSpin, kIdActivationSpin},
};

Initial InitialStates(const settings::ConfigSettings& s) {
  Initial in;
  for (int i = 0; i < layout::kControlCount; ++i) {
    in.check[i] = -1;
    in.enabled[i] = true;
  }
  in.check[layout::kDoubleClick] = s.DoubleClick != 0 ? 1 : 0;
  in.check[layout::kAutoRun] = s.AutoRun != 0 ? 1 : 0;
  // "Activate on Startup" keeps its check while AutoRun is off; it is only
  // greyed out.
  in.check[layout::kStartup] = s.ActivateAtStartup != 0 ? 1 : 0;
  in.enabled[layout::kStartup] = s.AutoRun != 0;
  // Only 1 is the analog clock; every other stored number shows digital.
  in.check[layout::kAnalog] = s.Clock_Type == settings::kAnalogClock ? 1 : 0;
  in.check[layout::kDigital] = s.Clock_Type == settings::kAnalogClock ? 0 : 1;
  in.check[layout::kOnAC] = s.EnableOnAC != 0 ? 1 : 0;
  in.enabled[layout::kActivationField] = s.EnableOnAC != 0;
  in.enabled[layout::kActivationSpin] = s.EnableOnAC != 0;
  return in;
}

}  // namespace controls
