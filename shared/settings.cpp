#include "shared/settings.h"

#include <cwchar>

#include "shared/core/paths.h"

const wchar_t kSettingsKey[] = L"Software\\Ombrevale\\Hushpane";

namespace {

// Value names are plain ASCII; widen into a small bounded buffer.
void Widen(const char* name, wchar_t* out, size_t cap) {
  size_t i = 0;
  for (; name[i] != '\0' && i + 1 < cap; ++i) out[i] = static_cast<wchar_t>(name[i]);
  out[i] = L'\0';
}

settings::StoredValue ReadRegistryValue(void* context, const char* name) {
  wchar_t wide[40];
  Widen(name, wide, 40);
  DWORD type = 0, data = 0, size = sizeof(data);  // the length is reset before every read
  LONG rc = RegQueryValueExW(static_cast<HKEY>(context), wide, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  return settings::TakeStoredValue(rc == ERROR_SUCCESS, type, size, data);
}

// Opens the key, hands the source to `load`, closes the key.
template <typename Settings>
void LoadFromRegistry(Settings* s, void (*load)(Settings&, const settings::ValueSource&)) {
  HKEY key = nullptr;
  settings::ValueSource src;
  src.read = ReadRegistryValue;
  src.keyOpened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  src.context = key;
  load(*s, src);
  if (src.keyOpened) RegCloseKey(key);
}

}  // namespace

void LoadLockScreenSettings(settings::LockScreenSettings* s) { LoadFromRegistry(s, settings::LoadLockScreen); }
void LoadServiceSettings(settings::ServiceSettings* s) { LoadFromRegistry(s, settings::LoadService); }
void LoadConfigSettings(settings::ConfigSettings* s) { LoadFromRegistry(s, settings::LoadConfig); }

BOOL SaveConfigSettings(const settings::ConfigSettings* s) {
  HKEY key = nullptr;
  wchar_t emptyClass[] = L"";
  // KEY_SET_VALUE and nothing more: it is all that setup grants the
  // interactive users on the key, and all the save needs.
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, emptyClass, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return FALSE;
  bool allWritten = true;
  settings::NamedValue order[settings::kSavedValueCount];
  settings::SaveOrder(*s, order);
  for (const settings::NamedValue& v : order) {
    wchar_t wide[40];
    Widen(v.name, wide, 40);
    DWORD data = static_cast<DWORD>(v.value);
    // A failed write does not stop the following ones.
    if (RegSetValueExW(key, wide, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) != ERROR_SUCCESS)
      allWritten = false;
  }
  RegCloseKey(key);
  return allWritten ? TRUE : FALSE;
}

void ReadOwnerName(wchar_t out[64]) {
  wcscpy(out, owner::kVendorText);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"ControlPanel\\Owner", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  BYTE data[owner::kMaxUnits * 2];
  DWORD type = 0, size = sizeof(data);
  LONG rc = RegQueryValueExW(key, L"Name", nullptr, &type, data, &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return;  // ERROR_MORE_DATA: too long
  int length = owner::StoredNameLength(data, size);
  if (length < 0) return;
  wmemcpy(out, reinterpret_cast<const wchar_t*>(data), static_cast<size_t>(length));
  out[length] = L'\0';
}
