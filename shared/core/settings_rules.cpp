#include "shared/core/settings_rules.h"

namespace settings {

StoredValue TakeStoredValue(bool querySucceeded, uint32_t type, uint32_t size, uint32_t data) {
  StoredValue v;
  // A string, a 2-byte binary or an 8-byte QWORD under a setting's name is
  // not a setting: taking part of it would leave the rest stale.
  if (querySucceeded && type == kRegDword && size == 4) {
    v.present = true;
    v.value = data;
  }
  return v;
}

bool IsUsableKeyCode(int32_t code) { return code >= 0x01 && code <= 0xFE; }

void PairButtons(int32_t& button1, int32_t& button2, int32_t& noButtons) {
  if (button1 == 0 && button2 == 0) {
    noButtons = 1;
  } else if (button1 == 0) {
    button1 = button2;
  } else if (button2 == 0) {
    button2 = button1;
  }
}

namespace {

StoredValue Read(const ValueSource& src, const char* name) { return src.read(src.context, name); }

void Number(int32_t& field, const ValueSource& src, const char* name) {
  StoredValue v = Read(src, name);
  if (v.present) field = static_cast<int32_t>(v.value);
}

void Boolean(int32_t& field, const ValueSource& src, const char* name) {
  StoredValue v = Read(src, name);
  if (v.present) field = v.value != 0 ? 1 : 0;
}

// Key codes and Clock_Type have a fixed value when absent, whatever the
// field held before.
void KeyCode(int32_t& field, const ValueSource& src, const char* name) {
  StoredValue v = Read(src, name);
  field = v.present ? static_cast<int32_t>(v.value) : 0;
}

void ReadClockType(int32_t& field, const ValueSource& src) {
  StoredValue v = Read(src, "Clock_Type");
  field = v.present ? static_cast<int32_t>(v.value) : kAnalogClock;
}

}  // namespace

void LoadLockScreen(LockScreenSettings& s, const ValueSource& src) {
  if (src.keyOpened) {
    Number(s.TimeOut, src, "TimeOut");
    Number(s.AcActivation, src, "AcActivation");
    KeyCode(s.Button_1, src, "Button_1");
    KeyCode(s.Button_2, src, "Button_2");
    Boolean(s.BlueTooth, src, "BlueTooth");
    Boolean(s.EnableOnAC, src, "EnableOnAC");
    Boolean(s.AutoRun, src, "AutoRun");
    Boolean(s.ActivateAtStartup, src, "ActivateAtStartup");
    Boolean(s.DoubleClick, src, "DoubleClick");
    Boolean(s.Face, src, "Face");
    Boolean(s.ShowSeconds, src, "ShowSeconds");
    ReadClockType(s.Clock_Type, src);
    Boolean(s.Hide_Messages, src, "Hide_Messages");
  }
  if (!IsUsableKeyCode(s.Button_1)) s.Button_1 = 0;
  if (!IsUsableKeyCode(s.Button_2)) s.Button_2 = 0;
  PairButtons(s.Button_1, s.Button_2, s.noButtons);
}

void LoadService(ServiceSettings& s, const ValueSource& src) {
  if (!src.keyOpened) return;
  Number(s.AcActivation, src, "AcActivation");
  Boolean(s.EnableOnAC, src, "EnableOnAC");
  Boolean(s.AutoRun, src, "AutoRun");
  Boolean(s.ActivateAtStartup, src, "ActivateAtStartup");
}

void LoadConfig(ConfigSettings& s, const ValueSource& src) {
  if (!src.keyOpened) return;
  Number(s.TimeOut, src, "TimeOut");
  Number(s.AcActivation, src, "AcActivation");
  KeyCode(s.Button_1, src, "Button_1");
  KeyCode(s.Button_2, src, "Button_2");
  KeyCode(s.Ignore_1, src, "Ignore_1");
  KeyCode(s.Ignore_2, src, "Ignore_2");
  Boolean(s.BlueTooth, src, "BlueTooth");
  Boolean(s.EnableOnAC, src, "EnableOnAC");
  Boolean(s.AutoRun, src, "AutoRun");
  // The same value as "ActivateAtStartup": registry names ignore case.
  Boolean(s.ActivateAtStartup, src, "ActivateAtStartUp");
  Boolean(s.DoubleClick, src, "DoubleClick");
  Boolean(s.Face, src, "Face");
  ReadClockType(s.Clock_Type, src);
}

void SaveOrder(const ConfigSettings& s, NamedValue out[kSavedValueCount]) {
  const NamedValue order[kSavedValueCount] = {{"TimeOut", s.TimeOut},
                                              {"AcActivation", s.AcActivation},
                                              {"AutoRun", s.AutoRun},
                                              {"ActivateAtStartup", s.ActivateAtStartup},
                                              {"DoubleClick", s.DoubleClick},
                                              {"EnableOnAC", s.EnableOnAC},
                                              {"BlueTooth", s.BlueTooth},
                                              {"Clock_Type", s.Clock_Type},
                                              {"Face", s.Face},
                                              {"Button_1", s.Button_1},
                                              {"Button_2", s.Button_2},
                                              {"Ignore_1", s.Ignore_1},
                                              {"Ignore_2", s.Ignore_2}};
  for (size_t i = 0; i < kSavedValueCount; ++i) out[i] = order[i];
}

}  // namespace settings
