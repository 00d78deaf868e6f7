// What the lock screen keeps resident while it shows, read from the host's
// /proc (files.h). Wine zeroes 960 KiB of every new thread's stack
// before the thread runs; shell32's image is 0.7 MiB for as long as it is
// loaded; the power bus's shared table is half a megabyte of which a
// process needs a page per slot; the static runtime's debug sections would
// be mapped with the program's image. None of it may stay.
#include <windows.h>
// (psapi.h and tlhelp32.h need windows.h first)
#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/support/appointments_support.h"
#include "tests/wine/support/files.h"
#include "tests/wine/support/lockscreen_support.h"
#include "tests/wine/support/support.h"

namespace {

// NtQueryInformationThread's ThreadBasicInformation (class 0).
struct ThreadBasics {
  LONG exitStatus;
  void* teb;
  void* clientId[2];
  ULONG_PTR affinity;
  LONG priority, basePriority;
};
typedef LONG(WINAPI* QueryThreadFn)(HANDLE, int, void*, ULONG, ULONG*);

// The stack ([StackLimit, StackBase) of its TEB) of every thread of the
// process but `skipped`.
std::vector<std::pair<uintptr_t, uintptr_t>> ThreadStacks(HANDLE process, DWORD pid, DWORD skipped) {
  std::vector<std::pair<uintptr_t, uintptr_t>> stacks;
  const QueryThreadFn query = reinterpret_cast<QueryThreadFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (query == nullptr || snapshot == INVALID_HANDLE_VALUE) return stacks;
  THREADENTRY32 entry;
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != pid || entry.th32ThreadID == skipped) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    ThreadBasics basics = {};
    NT_TIB tib = {};
    SIZE_T got = 0;
    if (thread != nullptr && query(thread, 0, &basics, sizeof(basics), nullptr) >= 0 &&
        ReadProcessMemory(process, basics.teb, &tib, sizeof(tib), &got) && got == sizeof(tib))
      stacks.emplace_back(reinterpret_cast<uintptr_t>(tib.StackLimit), reinterpret_cast<uintptr_t>(tib.StackBase));
    if (thread != nullptr) CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return stacks;
}

bool HasModule(HANDLE process, const wchar_t* name) {
  HMODULE modules[256];
  DWORD bytes = 0;
  if (!EnumProcessModules(process, modules, sizeof(modules), &bytes)) return false;
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 256; ++i) {
    wchar_t base[MAX_PATH];
    if (GetModuleBaseNameW(process, modules[i], base, MAX_PATH) > 0 && _wcsicmp(base, name) == 0) return true;
  }
  return false;
}

// Sections of a PE file whose name (short, or "/offset" into the COFF
// string table) starts with ".debug"; -1 when the file cannot be read.
int DebugSections(const std::wstring& path) {
  const std::string file = wt::Slurp(path);
  IMAGE_DOS_HEADER dos;
  IMAGE_NT_HEADERS64 nt;
  if (file.size() < sizeof(dos)) return -1;
  memcpy(&dos, file.data(), sizeof(dos));
  const size_t ntAt = static_cast<size_t>(dos.e_lfanew);
  if (ntAt + sizeof(nt) > file.size()) return -1;
  memcpy(&nt, file.data() + ntAt, sizeof(nt));
  const size_t sectionsAt = ntAt + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  const size_t strings = nt.FileHeader.PointerToSymbolTable + nt.FileHeader.NumberOfSymbols * 18u;
  int found = 0;
  for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section;
    if (sectionsAt + (i + 1u) * sizeof(section) > file.size()) return -1;
    memcpy(&section, file.data() + sectionsAt + i * sizeof(section), sizeof(section));
    std::string name(reinterpret_cast<const char*>(section.Name),
                     strnlen(reinterpret_cast<const char*>(section.Name), 8));
    if (!name.empty() && name[0] == '/' && strings + std::atoi(name.c_str() + 1) < file.size())
      name = file.c_str() + strings + std::atoi(name.c_str() + 1);
    if (name.compare(0, 6, ".debug") == 0) ++found;
  }
  return found;
}

class LockMemory : public lt::LockTest {
 protected:
  void SetUp() override {
    lt::LockTest::SetUp();
    wt::Device(L"ac online");  // the refresh thread runs the whole time
    wt::SetSetting(L"Button_1", VK_F1);
    at::RemoveCalendar();
  }
};

TEST_F(LockMemory, WhileLockedKeepsNothingItDoesNotUse) {
  lock_ = lt::StartTracedLock();
  ASSERT_NE(lock_.window, nullptr);
  // The first calendar query has ended: it is the one that needs shell32.
  ASSERT_GE(lt::WaitDrawn(lock_, L"No Appointments", wt::kProcessMs), 0) << lt::DrawnDump(lock_);
  DWORD pid = 0;
  const DWORD windowThread = GetWindowThreadProcessId(lock_.window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  ASSERT_NE(process, nullptr);
  const unsigned host = wt::HostPid("Corvane.exe");
  ASSERT_NE(host, 0u);
  // The appointments, power, refresh and game-input threads.
  const std::vector<std::pair<uintptr_t, uintptr_t>> stacks = ThreadStacks(process, pid, windowThread);
  ASSERT_GE(stacks.size(), 4u);
  double largestStack = 0, smallestStack = 1e9;
  for (const auto& s : stacks) {
    const double kib = wt::HostResidentKiB(host, s.first, s.second);
    largestStack = std::max(largestStack, kib);
    smallestStack = std::min(smallestStack, kib);
  }
  // Every thread holds a frame or two: nothing at all would mean another
  // process was read.
  EXPECT_GT(smallestStack, 0);

  struct Check {
    const char* what;
    double measured, most;
  };
  const Check checks[] = {
      {"KiB resident of the largest stack beside the window thread's", largestStack, 256},
      {"shell32.dll loaded", HasModule(process, L"shell32.dll") ? 1.0 : 0.0, 0},
      {"KiB resident of the power bus's shared table", wt::HostMappingsKiB(host, "tmpmap"), 256},
      {"debug sections in Corvane.exe", static_cast<double>(DebugSections(wt::InstalledPath(L"Corvane.exe"))), 0},
  };
  for (const Check& c : checks) {
    EXPECT_GE(c.measured, 0) << c.what;
    EXPECT_LE(c.measured, c.most) << c.what;
  }
  CloseHandle(process);
}

}  // namespace
