#pragma once

#include "platform/AnsiString.h"
#include "platform/Exceptions.h"

#include <cstdint>
#include <string_view>

// Leading blanks, then a decimal with optional sign or a hex number after "$", "x" or "0x";
// anything else, or a value out of range, gives Default. Hex reads as two's complement.
int StrToIntDef(const AnsiString& S, int Default);
std::int64_t StrToInt64Def(const AnsiString& S, std::int64_t Default);

AnsiString IntToStr(int Value);
AnsiString IntToStr(std::int64_t Value);

// Upper-case, of the value as unsigned of its width, at least Digits long.
AnsiString IntToHex(int Value, int Digits);
AnsiString IntToHex(std::int64_t Value, int Digits);

// "." is the decimal separator whatever the locale; blanks may surround the number.
// Throws EConvertError for anything else or for a value beyond the extended range.
long double StrToFloat(const AnsiString& S);
// The failure StrToFloat raises for S, for callers that refuse a number it could read.
EConvertError FloatConvertError(const AnsiString& S);

// 15 significant digits, halves away from zero; scientific outside 1E-5..1E15.
AnsiString FloatToStr(long double Value);

// S without the blanks (spaces and tabs) at either end.
std::string_view TrimBlanks(std::string_view S);
