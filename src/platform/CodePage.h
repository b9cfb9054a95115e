#pragma once

#include "platform/AnsiString.h"

// The code page AnsiString bytes are in. Only the GUI thread reads or changes it.
constexpr int CP_UTF8 = 65001;
constexpr int CP_SHIFT_JIS = 932;

int GetACP();
// Throws Exception for any page other than CP_UTF8 and CP_SHIFT_JIS.
void SetACP(int CodePage);

enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };

// Index is 1-based; outside 1..length the byte counts as single.
TMbcsByteType ByteType(const AnsiString& S, int Index);

// Bad or unconvertible sequences become U+FFFD (towards UTF-8) or '?' and the rest still converts.
AnsiString AnsiToUtf8(const AnsiString& S);
AnsiString Utf8ToAnsi(const AnsiString& S);
