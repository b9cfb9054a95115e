#pragma once

#include "platform/AnsiString.h"
#include "sheet/Fixed4.h"

#include <cstdint>
#include <optional>

// What a field shows for a figure too large to be held exactly.
inline const AnsiString OverflowText = "桁あふれ";

// The total and subtotal of the amount column, summed exactly; a sum outside the 64-bit
// range reads as empty instead of wrapping.
class TAmountSums {
public:
    void Add(std::int64_t amount, bool marked);
    std::optional<std::int64_t> Total() const;
    std::optional<std::int64_t> Subtotal() const;

private:
    __int128 FTotal = 0;
    __int128 FSubtotal = 0;
};

struct TTotalsTexts {
    AnsiString Gokei;  // total
    AnsiString ZeiKei; // tax
    AnsiString SouKei; // grand total
    AnsiString Syokei; // subtotal
    bool operator==(const TTotalsTexts&) const = default;
};

// The four field texts for the sums at the rate. A figure that cannot be held shows
// OverflowText, and so does every figure computed from it.
TTotalsTexts TotalsTexts(const TAmountSums& sums, Fixed4 rate);
