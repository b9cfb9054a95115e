#pragma once

#include "platform/AnsiString.h"
#include "platform/SysUtils.h"

#include <cstdint>

// How the sheet reads and writes numbers in its cells. Anything unreadable counts as 0,
// and 0 is written as the empty text.

inline int ReadCellNumber(const AnsiString& text) {
    return StrToIntDef(text, 0);
}

// Amounts are exact products of two 32-bit numbers, so they are read in 64 bits.
inline std::int64_t ReadAmount(const AnsiString& text) {
    return StrToInt64Def(text, 0);
}

inline AnsiString CellText(std::int64_t value) {
    return value == 0 ? AnsiString() : IntToStr(value);
}

inline std::int64_t RowAmount(int price, int quantity) {
    return std::int64_t{price} * quantity;
}

// A row label reading as 0 (the "* " form) marks the row for the subtotal.
inline bool IsMarkedLabel(const AnsiString& label) {
    return ReadCellNumber(label) == 0;
}

inline const AnsiString SubtotalMark = "* ";
