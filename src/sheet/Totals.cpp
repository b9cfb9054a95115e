#include "sheet/Totals.h"

#include "platform/SysUtils.h"
#include "sheet/AmountText.h"

#include <cstdint>

namespace {

std::optional<std::int64_t> Fitting(__int128 value) {
    if (value < INT64_MIN || value > INT64_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
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
        FSubtotal += amount;
    }
    FTotal += amount;
}

std::optional<std::int64_t> TAmountSums::Total() const {
    return Fitting(FTotal);
}

std::optional<std::int64_t> TAmountSums::Subtotal() const {
    return Fitting(FSubtotal);
}

TTotalsTexts TotalsTexts(const TAmountSums& sums, Fixed4 rate) {
    TTotalsTexts texts;
    const std::optional<std::int64_t> total = sums.Total();
    if (total != 0) {
        // tax = (total × 10000) × rate / 10000 = total × rate, without the intermediate product.
        std::optional<Fixed4> tax;
        std::optional<Fixed4> grand;
        if (total) {
            const __int128 exactTax = static_cast<__int128>(*total) * rate;
            tax = Fitting(exactTax);
            if (tax) {
                grand = Fitting(static_cast<__int128>(*total) * Fixed4One + exactTax);
            }
        }
        texts.Gokei = IntegerText(total);
        texts.ZeiKei = Fixed4Text(tax);
        texts.SouKei = Fixed4Text(grand);
    }
    if (const std::optional<std::int64_t> subtotal = sums.Subtotal(); subtotal != 0) {
        texts.Syokei = IntegerText(subtotal);
    }
    return texts;
}
