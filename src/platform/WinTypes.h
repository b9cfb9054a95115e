#pragma once

#include <cstdint>

// The Windows API's scalar types, for the calls the program makes.
using BOOL = int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using HMODULE = void*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
