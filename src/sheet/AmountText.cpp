#include "sheet/AmountText.h"

#include "platform/SysUtils.h"

#include <cstdint>

AnsiString FormatThousands(const AnsiString& Source) {
    const size_t n = Source.size();
    AnsiString result;
    result.reserve(n + n / 3);
    for (size_t i = 0; i < n; ++i) {
        const size_t fromRight = n - i; // position of this byte counted from the right end
        result += Source[i];
        const bool groupEnds = fromRight > 1 && (fromRight - 1) % 3 == 0;
        if (groupEnds && !(i == 0 && Source[0] == '-')) {
            result += ',';
        }
    }
    return result;
}

// The general number format of Value / 10000: its exact decimal, at most fifteen significant
// digits with halves away from zero, trailing zeros dropped. Worked out on the integer count,
// because the floating-point product with 0.0001 rounds some values from 10^12 up the wrong way.
AnsiString FormatFixed4(Fixed4 Value) {
    constexpr int SignificantDigits = 15;
    const bool negative = Value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);

    int length = 1;
    for (std::uint64_t rest = magnitude; rest >= 10; rest /= 10) {
        ++length;
    }
    std::uint64_t unit = 1;
    for (int dropped = length - SignificantDigits; dropped > 0; --dropped) {
        unit *= 10;
    }
    const std::uint64_t remainder = magnitude % unit;
    magnitude -= remainder;
    if (2 * remainder >= unit && unit > 1) {
        magnitude += unit;
    }

    const auto integerPart = static_cast<std::int64_t>(magnitude / Fixed4One);
    AnsiString text = FormatThousands(IntToStr(integerPart));
    if (const auto fraction = static_cast<int>(magnitude % Fixed4One); fraction != 0) {
        AnsiString digits = IntToStr(fraction + Fixed4One).substr(1); // four digits with leading zeros
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return negative ? "-" + text : text;
}
