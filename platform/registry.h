// Shell (aygshell) registry read.
#pragma once
#include <windows.h>

// Reads one DWORD; 0 on success (the target untouched on failure). A value
// counts only when it is REG_DWORD of 4 bytes.
HRESULT RegistryGetDWORD(HKEY root, LPCWSTR key, LPCWSTR value, DWORD* data);

// --- for tests ---------------------------------------------------------------
// How many times RegistryGetDWORD ran in this process (for tests and
// benchmarks that must prove a read did or did not happen).
LONG RegistryGetDWORDCount(void);
