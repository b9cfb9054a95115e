#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

class QWidget;

// Window messages as the program handles them: posted ones pass the application's OnMessage hook
// before they reach their window; sent ones go straight to the window's Dispatch.
using HWND = QWidget*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_CLOSE = 0xF060;

struct TPoint {
    int x = 0;
    int y = 0;
};

// A message as taken from the queue.
struct TMsg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    TPoint pt;
};

// A message as a window handles it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
