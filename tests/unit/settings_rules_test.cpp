#include "shared/core/settings_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A settings key as a table of stored values (type, size, data).
struct FakeKey {
  struct Entry {
    uint32_t type;
    uint32_t size;
    uint32_t data;
  };
  std::map<std::string, Entry> values;
  bool opened = true;

  static settings::StoredValue Read(void* ctx, const char* name) {
    auto* key = static_cast<FakeKey*>(ctx);
    auto it = key->values.find(name);
    if (it == key->values.end()) return settings::TakeStoredValue(false, 0, 0, 0);
    return settings::TakeStoredValue(true, it->second.type, it->second.size, it->second.data);
  }
  settings::ValueSource Source() {
    settings::ValueSource s;
    s.keyOpened = opened;
    s.context = this;
    s.read = Read;
    return s;
  }
  void Dword(const char* name, uint32_t v) { values[name] = {settings::kRegDword, 4, v}; }
};

TEST(StoredValue, OnlyFourByteDwordsCount) {
  struct Case {
    bool ok;
    uint32_t type, size;
    bool present;
  } cases[] = {
      {true, 4, 4, true},    // REG_DWORD
      {true, 1, 4, false},   // REG_SZ of 4 bytes
      {true, 3, 2, false},   // 2-byte binary
      {true, 11, 8, false},  // QWORD
      {true, 4, 2, false},   // short DWORD
      {false, 4, 4, false},  // failed query
  };
  for (const Case& c : cases) {
    settings::StoredValue v = settings::TakeStoredValue(c.ok, c.type, c.size, 7);
    EXPECT_EQ(v.present, c.present) << c.type << "/" << c.size;
    if (v.present) {
      EXPECT_EQ(v.value, 7u);
    }
  }
}

TEST(LockScreenLoad, KeyMissingKeepsBuiltInsAndReportsNoButtons) {
  FakeKey key;
  key.opened = false;
  settings::LockScreenSettings s;
  settings::LoadLockScreen(s, key.Source());
  EXPECT_EQ(s.noButtons, 1);
  EXPECT_EQ(s.TimeOut, 8);
  EXPECT_EQ(s.Clock_Type, 0);
  EXPECT_EQ(s.Face, 1);
  EXPECT_EQ(s.ShowSeconds, 1);
  EXPECT_EQ(s.BlueTooth, 1);
}

TEST(LockScreenLoad, KeyPresentClockTypeAbsentGivesAnalog) {
  FakeKey key;
  key.Dword("Button_1", 0x70);
  settings::LockScreenSettings s;
  settings::LoadLockScreen(s, key.Source());
  EXPECT_EQ(s.Clock_Type, 1);
  EXPECT_EQ(s.noButtons, 0);
}

TEST(LockScreenLoad, ButtonPairing) {
  struct Case {
    int32_t b1, b2;  // 0 = absent
    int32_t want1, want2, noButtons;
  } cases[] = {
      {0, 0x72, 0x72, 0x72, 0},      // only Button_2: both are that key
      {0x41, 0, 0x41, 0x41, 0},      // only Button_1
      {0x41, 0x42, 0x41, 0x42, 0},   // two distinct buttons kept
      {0, 0, 0, 0, 1},               // none
      {0x1FF, 0x42, 0x42, 0x42, 0},  // unusable code counts as none
      {-4000, 0, 0, 0, 1},           // negative code: none at all
      {0xFF, 0x100, 0, 0, 1},        // 0xFF and 0x100 are outside 0x01..0xFE
  };
  for (const Case& c : cases) {
    FakeKey key;
    if (c.b1 != 0) key.Dword("Button_1", static_cast<uint32_t>(c.b1));
    if (c.b2 != 0) key.Dword("Button_2", static_cast<uint32_t>(c.b2));
    settings::LockScreenSettings s;
    settings::LoadLockScreen(s, key.Source());
    EXPECT_EQ(s.Button_1, c.want1) << c.b1 << "," << c.b2;
    EXPECT_EQ(s.Button_2, c.want2) << c.b1 << "," << c.b2;
    EXPECT_EQ(s.noButtons, c.noButtons) << c.b1 << "," << c.b2;
  }
}

TEST(LockScreenLoad, BooleansNormaliseAndWrongSizesAreAbsent) {
  FakeKey key;
  key.Dword("Button_1", 0x41);
  key.Dword("DoubleClick", 5);
  key.Dword("Face", 0);
  key.Dword("Clock_Type", 7);
  key.values["TimeOut"] = {4, 8, 30};     // an 8-byte value under a DWORD name
  key.values["ShowSeconds"] = {1, 4, 0};  // a string
  settings::LockScreenSettings s;
  settings::LoadLockScreen(s, key.Source());
  EXPECT_EQ(s.DoubleClick, 1);
  EXPECT_EQ(s.Face, 0);
  EXPECT_EQ(s.Clock_Type, 7);
  EXPECT_EQ(s.TimeOut, 8);
  EXPECT_EQ(s.ShowSeconds, 1);
}

TEST(ServiceLoad, AbsentValuesLeaveWhatWasThere) {
  FakeKey key;
  key.Dword("AutoRun", 3);
  settings::ServiceSettings s;
  s.EnableOnAC = 1;  // from an earlier read
  settings::LoadService(s, key.Source());
  EXPECT_EQ(s.AutoRun, 1);
  EXPECT_EQ(s.EnableOnAC, 1);
  EXPECT_EQ(s.AcActivation, 2);
  key.Dword("AcActivation", 0xFFFFFFFF);
  settings::LoadService(s, key.Source());
  EXPECT_EQ(s.AcActivation, -1);
}

TEST(ConfigLoad, DefaultsAndReadRules) {
  FakeKey missing;
  missing.opened = false;
  settings::ConfigSettings d;
  settings::LoadConfig(d, missing.Source());
  EXPECT_EQ(d.TimeOut, 8);
  EXPECT_EQ(d.AcActivation, 2);
  EXPECT_EQ(d.Clock_Type, 1);
  EXPECT_EQ(d.Face, 1);
  EXPECT_EQ(d.BlueTooth, 0);

  FakeKey key;
  key.Dword("ActivateAtStartUp", 9);
  key.Dword("Ignore_1", 0x5B);
  key.Dword("Clock_Type", 0);
  settings::ConfigSettings s;
  s.Button_1 = 0x41;  // absent key codes become 0, not what was there
  settings::LoadConfig(s, key.Source());
  EXPECT_EQ(s.ActivateAtStartup, 1);
  EXPECT_EQ(s.Ignore_1, 0x5B);
  EXPECT_EQ(s.Button_1, 0);
  EXPECT_EQ(s.Clock_Type, 0);
}

TEST(ConfigSave, ThirteenValuesInOrder) {
  settings::ConfigSettings s;
  s.TimeOut = 1;
  s.AcActivation = 2;
  s.AutoRun = 3;
  s.ActivateAtStartup = 4;
  s.DoubleClick = 5;
  s.EnableOnAC = 6;
  s.BlueTooth = 7;
  s.Clock_Type = 8;
  s.Face = 9;
  s.Button_1 = 10;
  s.Button_2 = 11;
  s.Ignore_1 = 12;
  s.Ignore_2 = 13;
  settings::NamedValue out[settings::kSavedValueCount];
  settings::SaveOrder(s, out);
  const char* names[] = {"TimeOut",   "AcActivation", "AutoRun", "ActivateAtStartup", "DoubleClick", "EnableOnAC",
                         "BlueTooth", "Clock_Type",   "Face",    "Button_1",          "Button_2",    "Ignore_1",
                         "Ignore_2"};
  for (size_t i = 0; i < settings::kSavedValueCount; ++i) {
    EXPECT_STREQ(out[i].name, names[i]);
    EXPECT_EQ(out[i].value, static_cast<int32_t>(i + 1));
  }
}

}  // namespace
