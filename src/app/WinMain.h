#pragma once

#include "platform/AnsiString.h"

using HINSTANCE = void*;
using LPSTR = char*;

// Names the single-instance mutex; empty, the guard is off. Each executable defines it.
extern const AnsiString MutexName;

// The program: start-up, the message loop until the main window closes, always 0.
int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
