// The settings store's rules, apart from the registry: value names, each
// program's defaults, how a stored value is taken (present only as a 4-byte
// REG_DWORD), the lock screen's button pairing and the save order.
// Pure: no <windows.h>; the registry reader is passed in.
#pragma once
#include <cstddef>
#include <cstdint>

namespace settings {

constexpr const char* kKeyPath = "Software\\Ombrevale\\Hushpane";  // under HKEY_LOCAL_MACHINE
constexpr uint32_t kRegDword = 4;                                  // REG_DWORD

// Clock_Type's two meanings. The field itself stays a plain number: any
// other stored value is kept as it is (the lock screen draws no clock for
// it and takes the digital skin; Tollwick shows "Digital Clock" checked and
// writes the stored number back unless a radio button is pressed).
enum ClockType : int32_t {
  kAnalogClock = 1,
  kDigitalClock = 2,
};

// One value as the registry returned it: counts as present only when the
// query succeeded with type REG_DWORD and exactly 4 bytes.
struct StoredValue {
  bool present = false;
  uint32_t value = 0;
};
StoredValue TakeStoredValue(bool querySucceeded, uint32_t type, uint32_t size, uint32_t data);

// Reads one named value of the open key. Implemented over the registry by
// shared/settings.cpp and over a table by the tests.
struct ValueSource {
  bool keyOpened = false;
  void* context = nullptr;
  StoredValue (*read)(void* context, const char* name) = nullptr;
};

// What the lock screen (Corvane) reads. Its defaults when the key is missing
// differ from the others: Clock_Type 0 (no clock, the digital skin) and
// BlueTooth true.
struct LockScreenSettings {
  int32_t TimeOut = 8;
  int32_t AcActivation = 2;
  int32_t Button_1 = 0;
  int32_t Button_2 = 0;
  int32_t BlueTooth = 1;
  int32_t EnableOnAC = 0;
  int32_t AutoRun = 0;
  int32_t ActivateAtStartup = 0;
  int32_t DoubleClick = 0;
  int32_t Face = 1;
  int32_t ShowSeconds = 1;
  int32_t Clock_Type = 0;
  int32_t Hide_Messages = 0;
  int32_t noButtons = 0;  // set by the load when neither button is configured
};

// What the lock service (Hushpane) reads, before every pass.
struct ServiceSettings {
  int32_t AcActivation = 2;
  int32_t EnableOnAC = 0;
  int32_t AutoRun = 0;
  int32_t ActivateAtStartup = 0;
};

// The configuration program's (Tollwick) record of thirteen values.
struct ConfigSettings {
  int32_t TimeOut = 8;
  int32_t AcActivation = 2;
  int32_t Button_1 = 0;
  int32_t Button_2 = 0;
  int32_t Ignore_1 = 0;
  int32_t Ignore_2 = 0;
  int32_t BlueTooth = 0;
  int32_t EnableOnAC = 0;
  int32_t AutoRun = 0;
  int32_t ActivateAtStartup = 0;
  int32_t DoubleClick = 0;
  int32_t Face = 1;
  int32_t Clock_Type = kAnalogClock;
};

// A key code the lock screen can compare with a key-down: 0x01..0xFE.
// Anything else counts as no button, so that an unusable stored code gives
// the "No buttons" box rather than a lock screen nothing can end.
bool IsUsableKeyCode(int32_t code);

// Completes the pair: one configured button serves as both; none sets
// noButtons.
void PairButtons(int32_t& button1, int32_t& button2, int32_t& noButtons);

void LoadLockScreen(LockScreenSettings& s, const ValueSource& src);
void LoadService(ServiceSettings& s, const ValueSource& src);
void LoadConfig(ConfigSettings& s, const ValueSource& src);

struct NamedValue {
  const char* name;
  int32_t value;
};
constexpr size_t kSavedValueCount = 13;
// The thirteen values in the order they are written.
void SaveOrder(const ConfigSettings& s, NamedValue out[kSavedValueCount]);

}  // namespace settings
