// Files as the integration tests and the benchmarks read them: whole files
// (a log still being written included), and what the host's /proc says of
// Wine programs, read through Wine's Z: drive: their CPU time (under Wine,
// GetProcessTimes does not report another process's times) and their
// resident memory (a Wine program's threads and images live in its host
// process's address space, so a Windows address is the host's). No
// GoogleTest here: the benchmark programs link this file too.
#pragma once
#include <windows.h>

#include <cstdint>
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

// The host process id of a program of this prefix whose program name ends
// with `needle` (a Wine program's command line starts with its path, the
// shell or launcher that started it does not); 0 when there is none.
unsigned HostPid(const char* needle);
// KiB of the host process's pages in [begin, end) that are resident (its
// pagemap); -1 when it cannot be read.
double HostResidentKiB(unsigned pid, uintptr_t begin, uintptr_t end);
// KiB resident (Rss) of the host process's mappings whose name (the file
// mapped) holds `needle`; -1 when none does or its smaps cannot be read.
double HostMappingsKiB(unsigned pid, const char* needle);

}  // namespace wt
