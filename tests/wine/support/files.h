// Files as the integration tests and the benchmarks read them: whole files
// (a log still being written included), and the CPU time of Wine programs
// from the host's /proc through Wine's Z: drive (under Wine,
// GetProcessTimes does not report another process's times). No GoogleTest
// here: the benchmark programs link this file too.
#pragma once
#include <windows.h>

#include <string>

namespace wt {

// The file's bytes, at most `limit` of them (empty when it cannot be read).
// Opened for reading beside writers and deleters.
std::string Slurp(const std::wstring& path, size_t limit = 64u << 20);
// Whether the file holds `text` (Wine writes its traces in ASCII).
bool FileHas(const std::wstring& path, const std::string& text);

// CPU time in milliseconds (all threads, from each thread's schedstat, in
// nanoseconds) of the host processes of this Wine prefix whose command line
// holds `needle` (other prefixes on the same machine may run programs of
// the same name); -1 when none was found.
double HostCpuMs(const char* needle);

}  // namespace wt
