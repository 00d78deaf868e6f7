// Whole files and the host's /proc (see files.h).
#include "tests/wine/support/files.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace wt {

std::string Slurp(const std::wstring& path, size_t limit) {
  std::string all;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return all;
  char buffer[16384];
  DWORD got = 0;
  while (all.size() < limit && ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    all.append(buffer, got < limit - all.size() ? got : limit - all.size());
  CloseHandle(f);
  return all;
}

bool FileHas(const std::wstring& path, const std::string& text) { return Slurp(path).find(text) != std::string::npos; }

namespace {

// A /proc file, which is small: its first MiB.
std::string Proc(const std::string& path) { return Slurp(std::wstring(path.begin(), path.end()), 1u << 20); }

// Sum of the first field (time on the CPU, ns) of every thread's schedstat.
double ThreadsCpuMs(const std::string& dir) {
  double ns = 0;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\task\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.cFileName[0] < '0' || fd.cFileName[0] > '9') continue;
    std::string stat = Proc(dir + "\\task\\" + fd.cFileName + "\\schedstat");
    ns += std::strtod(stat.c_str(), nullptr);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return ns / 1e6;
}

// Calls `found` with the /proc folder and the id of every process of this
// prefix whose command line holds `needle` (with `programOnly`, whose
// program, its first word, ends with it).
template <typename Found>
void ForEachProcess(const char* needle, bool programOnly, Found found) {
  char prefix[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
  std::string mine = n > 0 && n < MAX_PATH ? std::string("WINEPREFIX=") + prefix : std::string();
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.cFileName[0] < '0' || fd.cFileName[0] > '9') continue;
    std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
    std::string cmd = Proc(dir + "\\cmdline");
    if (programOnly) {
      const std::string program = cmd.substr(0, cmd.find('\0'));
      const size_t length = strlen(needle);
      if (program.size() < length || program.compare(program.size() - length, length, needle) != 0) continue;
    }
    for (char& c : cmd)
      if (c == 0) c = ' ';
    if (cmd.find(needle) == std::string::npos) continue;
    if (!mine.empty()) {
      std::string env = Proc(dir + "\\environ");
      env.push_back('\0');
      if (env.find(mine + '\0') == std::string::npos) continue;
    }
    found(dir, static_cast<unsigned>(std::atoi(fd.cFileName)));
  } while (FindNextFileA(find, &fd));
  FindClose(find);
}

// A mapping's first line in smaps: "<hex>-<hex> perms offset dev inode name".
bool MappingHeader(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && std::isxdigit(static_cast<unsigned char>(line[i]))) ++i;
  if (i == 0 || i >= line.size() || line[i] != '-') return false;
  size_t j = i + 1;
  while (j < line.size() && std::isxdigit(static_cast<unsigned char>(line[j]))) ++j;
  return j > i + 1 && j < line.size() && line[j] == ' ';
}

}  // namespace

double HostCpuMs(const char* needle) {
  double total = -1;
  ForEachProcess(needle, false,
                 [&](const std::string& dir, unsigned) { total = (total < 0 ? 0 : total) + ThreadsCpuMs(dir); });
  return total;
}

unsigned HostPid(const char* needle) {
  unsigned pid = 0;
  ForEachProcess(needle, true, [&](const std::string&, unsigned id) { pid = id; });
  return pid;
}

double HostResidentKiB(unsigned pid, uintptr_t begin, uintptr_t end) {
  const uintptr_t kPage = 4096;
  const std::string path = "Z:\\proc\\" + std::to_string(pid) + "\\pagemap";
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return -1;
  double kib = 0;
  bool ok = true;
  // One 64-bit word per page; bit 63 is set while the page is present.
  for (uintptr_t page = begin / kPage; ok && page < (end + kPage - 1) / kPage; ++page) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(page * 8);
    uint64_t word = 0;
    DWORD got = 0;
    ok = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ReadFile(f, &word, 8, &got, nullptr) && got == 8;
    if (ok && (word >> 63) != 0) kib += kPage / 1024.0;
  }
  CloseHandle(f);
  return ok ? kib : -1;
}

double HostMappingsKiB(unsigned pid, const char* needle) {
  // A Wine process maps some thousand areas: its smaps runs to megabytes.
  const std::string path = "Z:\\proc\\" + std::to_string(pid) + "\\smaps";
  const std::string smaps = Slurp(std::wstring(path.begin(), path.end()));
  if (smaps.empty()) return -1;
  double kib = 0;
  bool inside = false, found = false;
  size_t at = 0;
  while (at < smaps.size()) {
    size_t end = smaps.find('\n', at);
    if (end == std::string::npos) end = smaps.size();
    const std::string line = smaps.substr(at, end - at);
    at = end + 1;
    if (MappingHeader(line)) found |= inside = line.find(needle) != std::string::npos;
    else if (inside && line.compare(0, 4, "Rss:") == 0) kib += std::strtod(line.c_str() + 4, nullptr);
  }
  return found ? kib : -1;
}

}  // namespace wt
