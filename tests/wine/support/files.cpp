// Whole files and the host's /proc (see files.h).
#include "tests/wine/support/files.h"

#include <cstdlib>

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

}  // namespace

double HostCpuMs(const char* needle) {
  char prefix[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
  std::string mine = n > 0 && n < MAX_PATH ? std::string("WINEPREFIX=") + prefix : std::string();
  double total = -1;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return -1;
  do {
    if (fd.cFileName[0] < '0' || fd.cFileName[0] > '9') continue;
    std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
    std::string cmd = Proc(dir + "\\cmdline");
    for (char& c : cmd)
      if (c == 0) c = ' ';
    if (cmd.find(needle) == std::string::npos) continue;
    if (!mine.empty()) {
      std::string env = Proc(dir + "\\environ");
      env.push_back('\0');
      if (env.find(mine + '\0') == std::string::npos) continue;
    }
    total = (total < 0 ? 0 : total) + ThreadsCpuMs(dir);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return total;
}

}  // namespace wt
