#pragma once

// Named mutexes across processes: a mutex exists while some process holds it, and it goes away
// with that process, however the process ends.

#include "platform/WinTypes.h"

using HANDLE = void*;

constexpr DWORD MUTEX_ALL_ACCESS = 0x1F0001;

// A handle when a mutex of that name exists, else nullptr.
HANDLE OpenMutexA(DWORD dwDesiredAccess, BOOL bInheritHandle, const char* lpName);
// A mutex of that name, held by this process when bInitialOwner is TRUE and nobody else holds it.
HANDLE CreateMutexA(void* lpMutexAttributes, BOOL bInitialOwner, const char* lpName);
BOOL ReleaseMutex(HANDLE hMutex);
