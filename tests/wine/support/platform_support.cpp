// Helper processes and the key sink of the platform tests; see
// platform_support.h.
#include "tests/wine/support/platform_support.h"

#include <stdio.h>

#include "platform/gameinput.h"
#include "platform/power.h"
#include "tests/wine/support/support.h"

namespace pt {

std::wstring TestKey(const wchar_t* name) { return std::wstring(L"Software\\Ombrevale\\Test\\") + name; }

static void WriteValue(const wchar_t* name, const wchar_t* value, DWORD data) {
  wt::SetDword(HKEY_CURRENT_USER, TestKey(name).c_str(), value, data);
}

bool ReadValue(const wchar_t* name, const wchar_t* value, DWORD* out) {
  DWORD size = sizeof(DWORD), type = 0;
  return RegGetValueW(HKEY_CURRENT_USER, TestKey(name).c_str(), value, RRF_RT_REG_DWORD, &type, out, &size) ==
         ERROR_SUCCESS;
}

std::vector<DWORD> HelperKeys(const wchar_t* name) {
  DWORD entries[256];
  DWORD size = sizeof(entries);
  std::vector<DWORD> keys;
  if (RegGetValueW(HKEY_CURRENT_USER, TestKey(name).c_str(), L"Keys", RRF_RT_REG_BINARY, nullptr, entries, &size) ==
      ERROR_SUCCESS)
    keys.assign(entries, entries + size / sizeof(DWORD));
  return keys;
}

void ClearTest(const wchar_t* name) { wt::DeleteTree(HKEY_CURRENT_USER, TestKey(name).c_str()); }

void HelperCommand(const wchar_t* name, const wchar_t* command) {
  std::wstring full = std::wstring(name) + L"." + command;
  HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, full.c_str());
  if (e == nullptr) return;
  SetEvent(e);
  CloseHandle(e);
}

bool WaitReady(const wchar_t* name, DWORD timeoutMs) {
  return wt::WaitFor([name] { return wt::EventSignalled(name); }, timeoutMs);
}

void EndHelper(HANDLE& process) {
  if (process == nullptr) return;
  TerminateProcess(process, 1);
  WaitForSingleObject(process, wt::kStepMs);
  CloseHandle(process);
  process = nullptr;
}

// ------------------------------------------------------------ power helpers

static HANDLE OpenRegisteredQueue() {
  MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
  HANDLE queue = CreateMsgQueue(nullptr, &options);
  if (queue == nullptr) return nullptr;
  if (RequestPowerNotifications(queue, POWER_NOTIFY_ALL) == nullptr) return nullptr;
  return queue;
}

static HANDLE Ready(const wchar_t* name) {
  HANDLE e = CreateEventW(nullptr, TRUE, FALSE, name);
  if (e != nullptr) SetEvent(e);
  return e;  // held until the helper ends
}

static int PowerQueueHelper(const wchar_t* name, DWORD count, DWORD timeoutMs, DWORD bufferSize) {
  static BYTE buffer[4096];
  if (bufferSize > sizeof(buffer)) bufferSize = sizeof(buffer);
  ClearTest(name);
  HANDLE queue = OpenRegisteredQueue();
  if (queue == nullptr) return 100;
  Ready(name);
  DWORD got = 0, shortReads = 0;
  for (DWORD i = 0; i < count; ++i) {
    DWORD read = 0, flags = 0;
    memset(buffer, 0, sizeof(buffer));
    if (!ReadMsgQueue(queue, buffer, bufferSize, &read, timeoutMs, &flags)) {
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
      WriteValue(name, L"Short", ++shortReads);
      continue;
    }
    wchar_t value[32];
    DWORD word = 0;
    memcpy(&word, buffer + 4, 4);
    swprintf(value, 32, L"Flags%lu", static_cast<unsigned long>(got));
    WriteValue(name, value, word);
    swprintf(value, 32, L"Length%lu", static_cast<unsigned long>(got));
    WriteValue(name, value, read);
    WriteValue(name, L"Count", ++got);
  }
  return static_cast<int>(got);
}

static int PowerHoldHelper(const wchar_t* name) {
  if (OpenRegisteredQueue() == nullptr) return 100;
  Ready(name);
  Sleep(INFINITE);
  return 0;
}

// ------------------------------------------------------- game input helper

static const wchar_t* g_helperName = nullptr;
static DWORD g_helperKeys[256];
static DWORD g_helperKeyCount = 0;

static DWORD KeyEntry(UINT message, WPARAM wParam) {
  DWORD kind = message == WM_KEYDOWN ? 0 : message == WM_KEYUP ? 1 : message == WM_SYSKEYDOWN ? 2 : 3;
  return static_cast<DWORD>(wParam & 0xFF) | kind << 8;
}

static bool IsKeyMessage(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }

static LRESULT CALLBACK HelperWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsKeyMessage(message)) {
    DWORD marked = static_cast<ULONG_PTR>(GetMessageExtraInfo()) == GAMEINPUT_PASSTHROUGH_EXTRA ? 0x20000 : 0;
    if (g_helperKeyCount < 256) g_helperKeys[g_helperKeyCount++] = KeyEntry(message, wParam) | marked;
    RegSetKeyValueW(HKEY_CURRENT_USER, TestKey(g_helperName).c_str(), L"Keys", REG_BINARY, g_helperKeys,
                    g_helperKeyCount * sizeof(DWORD));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The edit field records what it sees as well (focus on the field).
static WNDPROC g_editProc = nullptr;
static LRESULT CALLBACK HelperEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsKeyMessage(message)) {
    if (g_helperKeyCount < 256) g_helperKeys[g_helperKeyCount++] = KeyEntry(message, wParam) | 0x10000;
    RegSetKeyValueW(HKEY_CURRENT_USER, TestKey(g_helperName).c_str(), L"Keys", REG_BINARY, g_helperKeys,
                    g_helperKeyCount * sizeof(DWORD));
  }
  return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

static int GameInputHelper(const wchar_t* name, int mode) {
  g_helperName = name;
  ClearTest(name);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HelperWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PlatformGxHelper";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, name, WS_POPUP | WS_VISIBLE, 0, 0, 120, 80, nullptr, nullptr,
                                wc.hInstance, nullptr);
  HWND edit =
      CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 4, 4, 100, 20, window, nullptr, wc.hInstance, nullptr);
  if (window == nullptr || edit == nullptr) return 100;
  g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelperEdit)));
  GameInputSetMode(mode);
  GameInputSetTarget(window);
  GXOpenInput();
  const wchar_t* commands[] = {L"close", L"open", L"front", L"edit"};
  HANDLE events[4];
  for (int i = 0; i < 4; ++i) {
    std::wstring full = std::wstring(name) + L"." + commands[i];
    events[i] = CreateEventW(nullptr, FALSE, FALSE, full.c_str());
  }
  DWORD done = 0;
  WriteValue(name, L"Done", done);
  Ready(name);
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(4, events, FALSE, INFINITE, QS_ALLINPUT);
    if (r < WAIT_OBJECT_0 + 4) {
      switch (r - WAIT_OBJECT_0) {
        case 0: GXCloseInput(); break;
        case 1: GXOpenInput(); break;
        case 2:
          SetForegroundWindow(window);
          SetFocus(window);
          break;
        case 3: SetFocus(edit); break;
      }
      WriteValue(name, L"Done", ++done);
      continue;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

int PlatformHelper(int argc, wchar_t** argv) {
  if (argc < 4 || wcscmp(argv[1], L"--helper") != 0) return -1;
  const wchar_t* mode = argv[2];
  if (wcscmp(mode, L"powerq") == 0 && argc >= 6) {
    DWORD buffer = argc >= 7 ? wcstoul(argv[6], nullptr, 10) : 1024;
    return PowerQueueHelper(argv[3], wcstoul(argv[4], nullptr, 10), wcstoul(argv[5], nullptr, 10), buffer);
  }
  if (wcscmp(mode, L"powerhold") == 0) return PowerHoldHelper(argv[3]);
  if (wcscmp(mode, L"gxhold") == 0 && argc >= 5) return GameInputHelper(argv[3], _wtoi(argv[4]));
  return -1;
}

// ------------------------------------------------------------ the key sink

static Sink g_sink;

static LRESULT CALLBACK SinkWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsKeyMessage(message)) {
    g_sink.keys.push_back(KeyEntry(message, wParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

Sink* OpenSink() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = SinkWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PlatformKeySink";
  RegisterClassW(&wc);
  g_sink.keys.clear();
  g_sink.window = CreateWindowExW(0, wc.lpszClassName, L"sink", WS_POPUP | WS_VISIBLE, 120, 120, 100, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
  if (g_sink.window == nullptr) return nullptr;
  SetForegroundWindow(g_sink.window);
  SetFocus(g_sink.window);
  Pump();
  return &g_sink;
}

void CloseSink() {
  if (g_sink.window != nullptr) DestroyWindow(g_sink.window);
  g_sink.window = nullptr;
  Pump();
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool Wait(bool (*cond)(void*), void* arg, DWORD timeoutMs) {
  return wt::WaitFor(
      [cond, arg] {
        Pump();
        return cond(arg);
      },
      timeoutMs);
}

bool SinkHas(DWORD entry, DWORD timeoutMs) {
  return Wait(
      [](void* e) {
        DWORD want = *static_cast<DWORD*>(e);
        for (DWORD k : g_sink.keys)
          if (k == want) return true;
        return false;
      },
      &entry, timeoutMs);
}

}  // namespace pt
