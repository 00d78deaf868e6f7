// The capture state machine: arm, re-arm, move, disarm, ignore codes, and
// which key messages capture.
#include "config/core/capture.h"

#include <gtest/gtest.h>

namespace {

using capture::State;
using settings::ConfigSettings;

TEST(ConfigCapture, SlotsAndFields) {
  ConfigSettings s;
  EXPECT_EQ(capture::SlotOfCommand(0x8800), 0);
  EXPECT_EQ(capture::SlotOfCommand(0x8801), 1);
  EXPECT_EQ(capture::SlotOfCommand(0x8804), 4);
  EXPECT_EQ(capture::SlotOfCommand(0x8805), 0);
  EXPECT_EQ(capture::SlotOfCommand(0x18801), 0);
  EXPECT_EQ(capture::FieldOf(s, 1), &s.Button_1);
  EXPECT_EQ(capture::FieldOf(s, 2), &s.Button_2);
  EXPECT_EQ(capture::FieldOf(s, 3), &s.Ignore_1);
  EXPECT_EQ(capture::FieldOf(s, 4), &s.Ignore_2);
  EXPECT_EQ(capture::FieldOf(s, 0), nullptr);
  EXPECT_EQ(capture::FieldOf(s, 5), nullptr);
  EXPECT_EQ(capture::CommandOfSlot(3), 0x8803);
}

TEST(ConfigCapture, IdleCapturesNothing) {
  ConfigSettings s;
  State st;
  capture::Outcome o = capture::OnKeyMessage(st, capture::kWmKeyDown, 0x74, s);
  EXPECT_EQ(o.slot, 0);
  EXPECT_EQ(s.Button_1, 0);
  EXPECT_EQ(s.Button_2, 0);
  EXPECT_EQ(s.Ignore_1, 0);
  EXPECT_EQ(s.Ignore_2, 0);
}

TEST(ConfigCapture, ArmThenKeyDownCapturesAndStaysArmed) {
  ConfigSettings s;
  State st;
  EXPECT_FALSE(capture::Arm(st, 1, s));
  EXPECT_EQ(st.slot, 1);
  capture::Outcome o = capture::OnKeyMessage(st, capture::kWmKeyDown, 0xC1, s);
  EXPECT_EQ(o.slot, 1);
  EXPECT_EQ(o.code, 193);
  EXPECT_EQ(s.Button_1, 193);
  // Still armed: the next key-down overwrites the same field.
  o = capture::OnKeyMessage(st, capture::kWmSysKeyDown, 0x12, s);
  EXPECT_EQ(o.slot, 1);
  EXPECT_EQ(s.Button_1, 0x12);
  EXPECT_EQ(st.slot, 1);
}

// Only key-down codes are captured: 'a' arrives as key-down 0x41 and then
// WM_CHAR 0x61 (VK_NUMPAD1); the character must not replace the key code.
TEST(ConfigCapture, OnlyKeyDownMessagesCapture) {
  struct Case {
    uint32_t msg;
    bool consumed;
    bool captures;
  } cases[] = {
      {capture::kWmKeyDown, true, true},        {capture::kWmSysKeyDown, true, true},
      {capture::kWmChar, true, false},          {capture::kWmSysChar, true, false},
      {capture::kWmSysCommand, true, false},    {0x0101 /* WM_KEYUP */, false, false},
      {0x0105 /* WM_SYSKEYUP */, false, false}, {0x0103 /* WM_DEADCHAR */, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(capture::IsKeyMessage(c.msg), c.consumed) << std::hex << c.msg;
    EXPECT_EQ(capture::CapturesFrom(c.msg), c.captures) << std::hex << c.msg;
    ConfigSettings s;
    State st;
    capture::Arm(st, 2, s);
    capture::Outcome o = capture::OnKeyMessage(st, c.msg, 0x61, s);
    EXPECT_EQ(o.slot != 0, c.captures) << std::hex << c.msg;
    EXPECT_EQ(s.Button_2, c.captures ? 0x61 : 0) << std::hex << c.msg;
  }
  ConfigSettings s;
  State st;
  capture::Arm(st, 1, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x41, s);
  capture::OnKeyMessage(st, capture::kWmChar, 0x61, s);
  EXPECT_EQ(s.Button_1, 0x41);
}

// Closing without the "Cancel" key: SC_CLOSE (any low bits) armed or not;
// Escape only while no slot waits (armed, it is captured like any key).
TEST(ConfigCapture, CloseCommandAndIdleEscapeClose) {
  struct Case {
    uint32_t msg;
    uint64_t wParam;
    int armedSlot;
    bool closes;
  } cases[] = {
      {capture::kWmSysCommand, 0xF060, 0, true},  {capture::kWmSysCommand, 0xF063, 2, true},
      {capture::kWmSysCommand, 0xF100, 0, false}, {capture::kWmSysCommand, 0xF020, 0, false},
      {capture::kWmKeyDown, 0x1B, 0, true},       {capture::kWmKeyDown, 0x1B, 1, false},
      {capture::kWmSysKeyDown, 0x1B, 0, false},   {capture::kWmChar, 0x1B, 0, false},
      {capture::kWmKeyDown, 0x73, 0, false},      {capture::kWmSysKeyDown, 0x73, 0, false},
  };
  for (const Case& c : cases) {
    ConfigSettings s;
    State st;
    if (c.armedSlot != 0) capture::Arm(st, c.armedSlot, s);
    EXPECT_EQ(capture::ClosesWindow(st, c.msg, c.wParam), c.closes) << std::hex << c.msg << " " << c.wParam;
  }
}

TEST(ConfigCapture, IgnoreCodesAreSkippedForEverySlot) {
  for (int slot = 1; slot <= 4; ++slot) {
    ConfigSettings s;
    s.Ignore_1 = 0x5B;
    s.Ignore_2 = 0x86;
    if (slot == 3) s.Ignore_1 = 0x5B;
    State st;
    capture::Arm(st, slot, s);
    int32_t before = *capture::FieldOf(s, slot);
    EXPECT_EQ(capture::OnKeyMessage(st, capture::kWmKeyDown, 0x5B, s).slot, 0) << slot;
    EXPECT_EQ(capture::OnKeyMessage(st, capture::kWmKeyDown, 0x86, s).slot, 0) << slot;
    EXPECT_EQ(*capture::FieldOf(s, slot), before) << slot;
    EXPECT_EQ(st.slot, slot);  // a skipped key keeps the slot armed
  }
}

// With Ignore_1 = 0x5B, a button that sends 0x5B and then 0xC1 leaves
// Button_1 at 193.
TEST(ConfigCapture, SkippedThenCaptured) {
  ConfigSettings s;
  s.Ignore_1 = 0x5B;
  State st;
  capture::Arm(st, 1, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x5B, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0xC1, s);
  EXPECT_EQ(s.Button_1, 193);
}

// With both ignore codes 0 every code but 0 is captured; a zero code equals
// the ignore code 0 and is skipped.
TEST(ConfigCapture, BothIgnoreCodesZero) {
  ConfigSettings s;
  s.Button_1 = 0x70;
  State st;
  capture::Arm(st, 1, s);
  EXPECT_EQ(capture::OnKeyMessage(st, capture::kWmKeyDown, 0x0000, s).slot, 0);
  EXPECT_EQ(s.Button_1, 0x70);
  EXPECT_EQ(capture::OnKeyMessage(st, capture::kWmKeyDown, 0x0001, s).slot, 1);
  EXPECT_EQ(capture::OnKeyMessage(st, capture::kWmKeyDown, 0xF060, s).code, -4000);
  EXPECT_EQ(s.Button_1, -4000);
}

// "Ignore2" cannot take the code that already is Ignore_1.
TEST(ConfigCapture, IgnoreCodesCannotBeMadeEqual) {
  ConfigSettings s;
  s.Ignore_1 = 0x72;
  s.Ignore_2 = 0x73;
  State st;
  capture::Arm(st, 4, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x72, s);
  EXPECT_EQ(s.Ignore_2, 0x73);
}

// An ignore button may take the code of an unlock button, which keeps it.
TEST(ConfigCapture, IgnoreMayTakeAnUnlockCode) {
  ConfigSettings s;
  s.Button_1 = 0x74;
  State st;
  capture::Arm(st, 3, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x74, s);
  EXPECT_EQ(s.Ignore_1, 0x74);
  EXPECT_EQ(s.Button_1, 0x74);
}

TEST(ConfigCapture, ReArmClearsThenLeavesArmedAndEmpty) {
  ConfigSettings s;
  s.Button_1 = 0x74;
  State st;
  EXPECT_FALSE(capture::Arm(st, 1, s));  // first tap: armed, code kept
  EXPECT_EQ(s.Button_1, 0x74);
  EXPECT_TRUE(capture::Arm(st, 1, s));  // second tap: cleared
  EXPECT_EQ(s.Button_1, 0);
  EXPECT_EQ(st.slot, 1);
  EXPECT_TRUE(capture::Arm(st, 1, s));  // third: still armed and empty
  EXPECT_EQ(s.Button_1, 0);
  EXPECT_EQ(st.slot, 1);
}

TEST(ConfigCapture, MoveToAnotherSlotKeepsTheFirstCode) {
  ConfigSettings s;
  State st;
  capture::Arm(st, 1, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x70, s);
  EXPECT_FALSE(capture::Arm(st, 2, s));
  EXPECT_EQ(st.slot, 2);
  EXPECT_EQ(s.Button_1, 0x70);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x71, s);
  EXPECT_EQ(s.Button_1, 0x70);
  EXPECT_EQ(s.Button_2, 0x71);
}

TEST(ConfigCapture, DisarmChangesNoField) {
  ConfigSettings s;
  State st;
  capture::Arm(st, 3, s);
  capture::OnKeyMessage(st, capture::kWmKeyDown, 0x20, s);
  capture::Disarm(st);
  EXPECT_EQ(st.slot, 0);
  EXPECT_EQ(s.Ignore_1, 0x20);
  EXPECT_EQ(capture::OnKeyMessage(st, capture::kWmKeyDown, 0x21, s).slot, 0);
  EXPECT_EQ(s.Ignore_1, 0x20);
  // Arming after a disarm does not clear: the slot was not the armed one.
  EXPECT_FALSE(capture::Arm(st, 3, s));
  EXPECT_EQ(s.Ignore_1, 0x20);
}

TEST(ConfigCapture, ArmOutOfRangeDoesNothing) {
  ConfigSettings s;
  State st;
  EXPECT_FALSE(capture::Arm(st, 0, s));
  EXPECT_FALSE(capture::Arm(st, 5, s));
  EXPECT_EQ(st.slot, 0);
}

}  // namespace
