// The configuration window's commands table and its controls' start
// states. (The check boxes' toggle and the exit step's decisions about the
// lock service are tested on the real window and service: ConfigWindow and
// ConfigExit under Wine.)
#include <gtest/gtest.h>

#include "config/core/commands.h"
#include "config/core/controls.h"

namespace {

using commands::Decide;

TEST(ConfigCommands, Table) {
  struct Case {
    uint16_t id;
    uint16_t code;
    commands::Action action;
    int slot;
  } cases[] = {
      {113, 0, commands::kOk, 0},
      {113, 1, commands::kOk, 0},
      {114, 0, commands::kCancel, 0},
      {114, 7, commands::kCancel, 0},
      {0x8801, 0, commands::kArm, 1},
      {0x8802, 5, commands::kArm, 2},  // any notification code
      {0x8803, 0, commands::kArm, 3},
      {0x8804, 0, commands::kArm, 4},
      {0x8805, 0, commands::kToggleAutoRun, 0},
      {0x8805, 1, commands::kNothing, 0},  // check boxes: a click only
      {0x8806, 0, commands::kAnalog, 0},
      {0x8806, 6, commands::kAnalog, 0},
      {0x8807, 0, commands::kDigital, 0},
      {0x8807, 6, commands::kDigital, 0},
      {0x8808, 0x300, commands::kNothing, 0},  // EN_CHANGE of a field
      {0x8809, 0, commands::kNothing, 0},
      {0x8810, 0, commands::kToggleOnAC, 0},
      {0x8810, 6, commands::kNothing, 0},
      {0x8811, 0, commands::kNothing, 0},
      {0x8812, 0, commands::kNothing, 0},
      {0x8813, 0, commands::kNothing, 0},
      {0x8814, 0, commands::kToggleStartup, 0},
      {0x8814, 5, commands::kNothing, 0},
      {0x8815, 0, commands::kToggleDoubleClick, 0},
      {0x8815, 2, commands::kNothing, 0},
      {0x8800, 0, commands::kNothing, 0},
      {2, 0, commands::kNothing, 0},  // IDCANCEL is not "Cancel"
  };
  for (const Case& c : cases) {
    commands::Decision d = Decide(c.id, c.code);
    EXPECT_EQ(d.action, c.action) << std::hex << c.id << " " << c.code;
    EXPECT_EQ(d.slot, c.slot) << std::hex << c.id;
  }
}

TEST(ConfigControls, TableMatchesTheWindow) {
  struct Case {
    const wchar_t* cls;
    const wchar_t* text;
    uint32_t style;
    uint16_t id;
  } cases[] = {
      {L"button", nullptr, 0x50000000, 0x8801},
      {L"button", nullptr, 0x50000000, 0x8802},
      {L"button", nullptr, 0x50000000, 0x8803},
      {L"button", nullptr, 0x50000000, 0x8804},
      {L"button", L"Enable Double-Click unlock", 0x50000002, 0x8815},
      {L"button", L"Enable AutoRun mode", 0x50000002, 0x8805},
      {L"button", L"Activate on Startup", 0x50000002, 0x8814},
      {L"button", L"Analog Clock", 0x50000004, 0x8806},
      {L"button", L"Digital Clock", 0x50000004, 0x8807},
      {L"edit", L"", 0x50800000, 0x8808},
      {L"msctls_updown32", L"", 0x50800002, 0x8809},
      {L"button", L"Enable on AC Power", 0x50000002, 0x8810},
      {L"edit", L"", 0x50800000, 0x8811},
      {L"msctls_updown32", L"", 0x50800002, 0x8812},
  };
  for (int i = 0; i < layout::kControlCount; ++i) {
    const controls::Definition& s = controls::kDefinitions[i];
    EXPECT_STREQ(s.className, cases[i].cls) << i;
    if (cases[i].text == nullptr) EXPECT_EQ(s.text, nullptr) << i;
    else EXPECT_STREQ(s.text, cases[i].text) << i;
    EXPECT_EQ(s.style, cases[i].style) << i;
    EXPECT_EQ(s.id, cases[i].id) << i;
  }
}

TEST(ConfigControls, StartStates) {
  settings::ConfigSettings s;  // the values before loading
  controls::Initial in = controls::InitialStates(s);
  EXPECT_EQ(in.check[layout::kAnalog], 1);
  EXPECT_EQ(in.check[layout::kDigital], 0);
  EXPECT_EQ(in.check[layout::kAutoRun], 0);
  EXPECT_FALSE(in.enabled[layout::kStartup]);
  EXPECT_FALSE(in.enabled[layout::kActivationField]);
  EXPECT_FALSE(in.enabled[layout::kActivationSpin]);
  EXPECT_TRUE(in.enabled[layout::kTimeOutField]);
  EXPECT_TRUE(in.enabled[layout::kTimeOutSpin]);
  EXPECT_EQ(in.check[layout::kButton1], -1);
  EXPECT_EQ(in.check[layout::kTimeOutField], -1);

  // Any other clock type shows digital; a disabled start-up box keeps its check.
  for (int32_t type : {0, 2, 3, 7, -1}) {
    s.Clock_Type = type;
    in = controls::InitialStates(s);
    EXPECT_EQ(in.check[layout::kAnalog], 0) << type;
    EXPECT_EQ(in.check[layout::kDigital], 1) << type;
  }
  s.ActivateAtStartup = 1;
  s.AutoRun = 0;
  in = controls::InitialStates(s);
  EXPECT_EQ(in.check[layout::kStartup], 1);
  EXPECT_FALSE(in.enabled[layout::kStartup]);
  s.AutoRun = 1;
  s.EnableOnAC = 1;
  s.DoubleClick = 5;
  in = controls::InitialStates(s);
  EXPECT_TRUE(in.enabled[layout::kStartup]);
  EXPECT_EQ(in.check[layout::kAutoRun], 1);
  EXPECT_EQ(in.check[layout::kOnAC], 1);
  EXPECT_EQ(in.check[layout::kDoubleClick], 1);
  EXPECT_TRUE(in.enabled[layout::kActivationField]);
  EXPECT_TRUE(in.enabled[layout::kActivationSpin]);
}

}  // namespace
