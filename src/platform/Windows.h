#pragma once

// The window and system calls the program makes, for its forms and the hidden application window.

#include "platform/Messages.h"
#include "platform/WinTypes.h"

#include <cstdint>

constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(std::intptr_t{1});

// On the application window these act on the program as a whole: minimising it minimises the main
// form, restoring it shows the main form again, and bringing it forward activates the main form.
BOOL SetForegroundWindow(HWND hWnd);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
BOOL ShowWindow(HWND hWnd, int nCmdShow);

// The primary screen's size in pixels.
int GetSystemMetrics(int nIndex);

// The application window's default processing of a message.
void ApplicationWindowProc(TMessage& Message);

// True while ShowWindow itself changes a window's state, or when the window system reports back
// such a change, so that neither is mistaken for the user's.
bool ProgramChangesWindowState(bool spontaneous);
