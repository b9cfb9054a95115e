#pragma once

#include "platform/AnsiString.h"
#include "platform/WinTypes.h"

// hModule must be nullptr (the running executable). Copies the path NUL-terminated and returns its length;
// when it does not fit, copies nSize - 1 bytes and a NUL and returns nSize. 0 on failure.
DWORD GetModuleFileNameA(HMODULE hModule, char* lpFilename, DWORD nSize);

// The running executable's path in the active code page, uncut whatever its length; empty on failure.
AnsiString ModuleFileName();

// Tests stand the program in a directory of their own: while a path is set, it is reported as the
// executable's. The empty text restores the real one.
void SetModuleFileNameOverride(const AnsiString& Path);
