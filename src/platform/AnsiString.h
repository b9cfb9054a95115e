#pragma once

#include <string>

// The program's texts are byte strings in the active ANSI code page (see CodePage.h).
using AnsiString = std::string;
