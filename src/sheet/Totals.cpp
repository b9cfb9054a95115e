#include "sheet/Totals.h"

#include "platform/SysUtils.h"
#include "sheet/AmountText.h"

#include <cstdint>

namespace {

std::optional<std::int64_t> CheckedAdd(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    std::int64_t sum = 0;
    if (!a || !b || __builtin_add_overflow(*a, *b, &sum)) {
        return std::nullopt;
    }
    return sum;
}

// Products are formed in 128 bits, exactly, and must then fit a Fixed4.
std::optional<Fixed4> Fitting(__int128 value) {
    if (value < INT64_MIN || value > INT64_MAX) {
        return std::nullopt;
    }
    return static_cast<Fixed4>(value);
}

AnsiString IntegerText(std::optional<std::int64_t> value) {
    return value ? FormatThousands(IntToStr(*value)) : OverflowText;
}

AnsiString Fixed4Text(std::optional<Fixed4> value) {
    return value ? FormatFixed4(*value) : OverflowText;
}

} // namespace

void TAmountSums::Add(std::int64_t amount, bool marked) {
    if (marked) {
        Subtotal = CheckedAdd(Subtotal, amount);
    }
    Total = CheckedAdd(Total, amount);
}

TTotalsTexts TotalsTexts(const TAmountSums& sums, Fixed4 rate) {
    TTotalsTexts texts;
    if (sums.Total != 0) {
        // tax = (total × 10000) × rate / 10000 = total × rate, without the intermediate product.
        std::optional<Fixed4> tax;
        std::optional<Fixed4> grand;
        if (sums.Total) {
            const __int128 exactTax = static_cast<__int128>(*sums.Total) * rate;
            tax = Fitting(exactTax);
            if (tax) {
                grand = Fitting(static_cast<__int128>(*sums.Total) * Fixed4One + exactTax);
            }
        }
        texts.Gokei = IntegerText(sums.Total);
        texts.ZeiKei = Fixed4Text(tax);
        texts.SouKei = Fixed4Text(grand);
    }
    if (sums.Subtotal != 0) {
        texts.Syokei = IntegerText(sums.Subtotal);
    }
    return texts;
}
