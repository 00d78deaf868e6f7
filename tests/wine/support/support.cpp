#include "tests/wine/support/support.h"

#include <aclapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>

#include "shared/lock_window.h"
#include "shared/signals.h"
#include "tests/wine/support/platform_support.h"

namespace wt {

std::wstring InstalledPath(const wchar_t* file) {
  wchar_t folder[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE)) return L"";
  return std::wstring(folder) + L"\\Ombrevale\\Hushpane\\" + file;
}

HANDLE Start(const wchar_t* file, const wchar_t* args) {
  std::wstring path = InstalledPath(file);
  HANDLE process = nullptr;
  if (!StartProgram(path.c_str(), args, &process)) return nullptr;
  return process;
}

HANDLE StartSelf(const wchar_t* args) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  HANDLE process = nullptr;
  if (!StartProgram(self, args, &process)) return nullptr;
  return process;
}

int RunHelper(int argc, wchar_t** argv) {
  if (argc < 4 || wcscmp(argv[1], L"--helper") != 0) return -1;
  if (wcscmp(argv[2], L"hold") == 0) {
    HANDLE h = SignalCreate(argv[3], nullptr);
    if (h == nullptr) return 2;
    Sleep(INFINITE);
  }
  if (wcscmp(argv[2], L"wait") == 0 && argc >= 5) {
    HANDLE h = SignalCreate(argv[3], nullptr);
    DWORD r = WaitForSingleObject(h, static_cast<DWORD>(_wtoi(argv[4])));
    return r == WAIT_OBJECT_0 ? 0 : 1;
  }
  if (wcscmp(argv[2], L"dpi") == 0) {  // `--helper dpi -`: exits with the resolution it started with
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
  }
  int platform = pt::PlatformHelper(argc, argv);
  if (platform >= 0) return platform;
  return 3;
}

int WaitExit(HANDLE process, DWORD timeoutMs) {
  if (process == nullptr) return -1;
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<int>(code);
}

int Device(const std::wstring& args) {
  HANDLE p = Start(L"ovdevice.exe", args.c_str());
  // Under load Wine has been seen to refuse a process start once, right
  // after another test's programs were killed; the device tool is only the
  // test's hand, so it is tried again, and the refusal is shown.
  for (int attempt = 1; p == nullptr && attempt < 3; ++attempt) {
    fprintf(stderr, "device tool did not start (error %lu), trying again\n", GetLastError());
    Sleep(100);
    p = Start(L"ovdevice.exe", args.c_str());
  }
  int code = WaitExit(p, wt::kProcessMs);
  if (p != nullptr) CloseHandle(p);
  return code;
}

namespace {
template <typename F>
void ForEachProcess(F f) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W e;
  e.dwSize = sizeof(e);
  for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e)) f(e);
  CloseHandle(snap);
}
}  // namespace

int CountProcesses(const wchar_t* exeName) {
  int n = 0;
  ForEachProcess([&](const PROCESSENTRY32W& e) {
    if (_wcsicmp(e.szExeFile, exeName) == 0) ++n;
  });
  return n;
}

void KillSuite() {
  // A service being killed may be starting a lock screen at that moment:
  // look again until a snapshot finds none of the suite's programs.
  const wchar_t* names[] = {L"Corvane.exe", L"Hushpane.exe", L"Tollwick.exe"};
  for (int round = 0; round < 20; ++round) {
    int found = 0;
    ForEachProcess([&](const PROCESSENTRY32W& e) {
      for (const wchar_t* n : names) {
        if (_wcsicmp(e.szExeFile, n) != 0) continue;
        HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, e.th32ProcessID);
        if (p == nullptr) continue;
        ++found;
        TerminateProcess(p, 1);
        WaitForSingleObject(p, wt::kStepMs);
        CloseHandle(p);
      }
    });
    if (found == 0) return;
  }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    Sleep(10);
  }
}

void DeleteTree(HKEY root, const wchar_t* key) { RegDeleteTreeW(root, key); }

void ClearSettings() {
  DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane");
  DeleteTree(HKEY_CURRENT_USER, L"Software\\Ombrevale\\Device");
  DeleteTree(HKEY_CURRENT_USER, L"ControlPanel\\Owner");
  DeleteTree(HKEY_CURRENT_USER, L"System\\State");
  DeleteTree(HKEY_LOCAL_MACHINE, L"System\\State");
}

void SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(h);
}

void SetSystemScaling(DWORD logPixels) {
  const wchar_t key[] = L"Control Panel\\Desktop";
  if (logPixels != 0) {
    SetDword(HKEY_CURRENT_USER, key, L"LogPixels", logPixels);
    return;
  }
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
  RegDeleteValueW(h, L"LogPixels");
  RegCloseKey(h);
}

void SetSetting(const wchar_t* name, DWORD value) {
  SetDword(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", name, value);
}

bool GetSetting(const wchar_t* name, DWORD* value, DWORD* type, DWORD* size) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Ombrevale\\Hushpane", 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  DWORD t = 0, s = sizeof(DWORD);
  LONG rc = RegQueryValueExW(h, name, nullptr, &t, reinterpret_cast<BYTE*>(value), &s);
  RegCloseKey(h);
  if (type != nullptr) *type = t;
  if (size != nullptr) *size = s;
  return rc == ERROR_SUCCESS;
}

bool EventExists(const wchar_t* name) { return SignalExists(name) != FALSE; }

bool EventSignalled(const wchar_t* name) {
  HANDLE h = OpenEventW(SYNCHRONIZE, FALSE, name);
  if (h == nullptr) return false;
  bool set = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
  CloseHandle(h);
  return set;
}

HWND WaitWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindWindowW(className, title)) != nullptr; }, timeoutMs);
  return found;
}

void Key(WORD vk, bool up, ULONG_PTR extra) {
  INPUT in;
  ZeroMemory(&in, sizeof(in));
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  in.ki.dwExtraInfo = extra;
  SendInput(1, &in, sizeof(in));
}

void Tap(WORD vk) {
  Key(vk, false);
  Key(vk, true);
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

namespace {
HANDLE s_heldEnd = nullptr;
}

HANDLE HeldEndEvent() { return s_heldEnd; }

void ReleaseEndEvent() {
  if (s_heldEnd != nullptr) CloseHandle(s_heldEnd);
  s_heldEnd = nullptr;
}

ACCESS_MASK AllowedTo(HANDLE object, SE_OBJECT_TYPE type, WELL_KNOWN_SID_TYPE group) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof(sid);
  if (!CreateWellKnownSid(group, nullptr, sid, &sidSize)) return 0;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetSecurityInfo(object, type, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
    return 0;
  ACCESS_MASK allowed = 0;
  for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    ACCESS_ALLOWED_ACE* allow = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (EqualSid(&allow->SidStart, sid)) allowed |= allow->Mask;
  }
  LocalFree(sd);
  return allowed;
}

HWND WaitProcessWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
  } search = {pid, className, nullptr};
  WaitFor(
      [&] {
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
              Search* s = reinterpret_cast<Search*>(context);
              DWORD owner = 0;
              wchar_t name[64] = L"";
              GetWindowThreadProcessId(window, &owner);
              GetClassNameW(window, name, 64);
              if (owner != s->pid || !IsWindowVisible(window) || wcscmp(name, s->className) != 0) return TRUE;
              s->found = window;
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

void SuiteTest::SetUp() {
  KillSuite();
  ClearSettings();
  ReleaseEndEvent();
  s_heldEnd = SignalCreate(kEndEventName, nullptr);
  if (s_heldEnd != nullptr) ResetEvent(s_heldEnd);
}

void SuiteTest::TearDown() {
  KillSuite();
  ReleaseEndEvent();
}

StandInLock HoldStandInLock() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kLockWindowClass;
  RegisterClassW(&wc);  // fails harmlessly when already registered
  StandInLock lock;
  lock.marker = SignalCreate(kLockMarkerEventName, nullptr);
  lock.window =
      CreateWindowExW(0, kLockWindowClass, kLockWindowTitle, 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  return lock;
}

void ReleaseStandInLock(StandInLock* lock) {
  if (lock->window != nullptr) DestroyWindow(lock->window);
  if (lock->marker != nullptr) CloseHandle(lock->marker);
  lock->window = nullptr;
  lock->marker = nullptr;
}

}  // namespace wt
