// CPU time of a Wine program read from the host's /proc through Wine's Z:
// drive: under Wine, GetProcessTimes does not report another process's
// times. Only processes of this Wine prefix count (other prefixes on the
// same machine may run programs of the same name).
#pragma once
#include <windows.h>

namespace svc {

// CPU time in milliseconds (all threads, from each thread's schedstat, in
// nanoseconds) of the host processes of this prefix whose command line
// holds `needle`; -1 when none was found.
double HostCpuMs(const char* needle);

}  // namespace svc
