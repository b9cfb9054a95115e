#include "platform/SysUtils.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

#include <locale.h>

namespace {

// ---- integers ----

int DigitValue(char C, unsigned Base) {
    if (C >= '0' && C <= '9') {
        return C - '0';
    }
    if (Base == 16 && C >= 'A' && C <= 'F') {
        return C - 'A' + 10;
    }
    if (Base == 16 && C >= 'a' && C <= 'f') {
        return C - 'a' + 10;
    }
    return -1;
}

// Stops at the first digit that would pass Limit, so a huge text costs no more than its overflow point.
std::optional<std::uint64_t> ReadMagnitude(std::string_view Digits, unsigned Base, std::uint64_t Limit) {
    if (Digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : Digits) {
        const int digit = DigitValue(c, Base);
        if (digit < 0) {
            return std::nullopt;
        }
        const auto d = static_cast<std::uint64_t>(digit);
        if (value > (Limit - d) / Base) {
            return std::nullopt;
        }
        value = value * Base + d;
    }
    return value;
}

std::optional<std::string_view> HexDigits(std::string_view S) {
    if (S[0] == '$' || S[0] == 'x' || S[0] == 'X') {
        return S.substr(1);
    }
    if (S.size() >= 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X')) {
        return S.substr(2);
    }
    return std::nullopt;
}

template <typename Int> std::optional<Int> ReadInteger(std::string_view S) {
    using UInt = std::make_unsigned_t<Int>;
    const std::size_t start = S.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    S.remove_prefix(start);
    if (const auto hex = HexDigits(S)) {
        const auto value = ReadMagnitude(*hex, 16, std::numeric_limits<UInt>::max());
        return value ? std::optional<Int>(static_cast<Int>(static_cast<UInt>(*value))) : std::nullopt;
    }
    const bool negative = S[0] == '-';
    if (S[0] == '-' || S[0] == '+') {
        S.remove_prefix(1);
    }
    const auto positiveLimit = static_cast<UInt>(std::numeric_limits<Int>::max());
    const auto value = ReadMagnitude(S, 10, negative ? positiveLimit + 1u : positiveLimit);
    if (!value) {
        return std::nullopt;
    }
    const auto magnitude = static_cast<UInt>(*value);
    return static_cast<Int>(negative ? static_cast<UInt>(0u - magnitude) : magnitude);
}

template <typename Int> AnsiString IntegerText(Int Value, int Base) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), Value, Base);
    return AnsiString(buffer.data(), result.ptr);
}

template <typename Int> AnsiString HexText(Int Value, int Digits) {
    AnsiString text = IntegerText(static_cast<std::make_unsigned_t<Int>>(Value), 16);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (static_cast<int>(text.size()) < Digits) {
        text.insert(0, static_cast<std::size_t>(Digits) - text.size(), '0');
    }
    return text;
}

// ---- StrToFloat ----

struct DecimalText {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::int64_t exponent = 0;
};

// Far beyond any exponent that still matters, and small enough that adding text lengths cannot overflow.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

class Scanner {
public:
    explicit Scanner(std::string_view Text) : text_(Text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    bool Take(char C) {
        if (!AtEnd() && text_[pos_] == C) {
            ++pos_;
            return true;
        }
        return false;
    }
    void SkipBlanks() {
        while (Take(' ')) {
        }
    }
    std::string_view Digits() {
        const std::size_t start = pos_;
        while (!AtEnd() && IsDigit(text_[pos_])) {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::int64_t SaturatedExponent(std::string_view Digits) {
    std::int64_t value = 0;
    for (const char c : Digits) {
        if (value < kExponentCap) {
            value = value * 10 + (c - '0');
        }
    }
    return value < kExponentCap ? value : kExponentCap;
}

std::optional<DecimalText> ScanDecimal(std::string_view S) {
    Scanner scan(S);
    DecimalText number;
    scan.SkipBlanks();
    number.negative = scan.Take('-');
    if (!number.negative) {
        scan.Take('+');
    }
    number.integerDigits = scan.Digits();
    const bool point = scan.Take('.');
    if (point) {
        number.fractionDigits = scan.Digits();
    }
    if (number.integerDigits.empty() && !point) {
        return std::nullopt;
    }
    if (scan.Take('E') || scan.Take('e')) {
        const bool negativeExponent = scan.Take('-');
        if (!negativeExponent) {
            scan.Take('+');
        }
        const std::int64_t exponent = SaturatedExponent(scan.Digits());
        number.exponent = negativeExponent ? -exponent : exponent;
    }
    scan.SkipBlanks();
    if (!scan.AtEnd()) {
        return std::nullopt;
    }
    return number;
}

// Every long double halfway point has fewer significant digits than this (the smallest subnormal's
// halves need about 11 500), so cutting here and keeping a sticky non-zero digit cannot change the rounding.
constexpr std::size_t kMaxSignificantDigits = 12'000;

// Decimal exponents of the leading digit beyond which the value surely overflows or rounds to zero.
constexpr std::int64_t kMaxLeadingExponent = std::numeric_limits<long double>::max_exponent10;
constexpr std::int64_t kMinLeadingExponent = std::numeric_limits<long double>::min_exponent10 - 25;

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

// strtold_l only ever sees "[-]DIGITSe[-]N" with no leading or trailing zeros in DIGITS.
std::optional<long double> ToExtended(const DecimalText& Number) {
    AnsiString digits;
    digits.reserve(Number.integerDigits.size() + Number.fractionDigits.size());
    digits.append(Number.integerDigits).append(Number.fractionDigits);
    const long double zero = Number.negative ? -0.0L : 0.0L;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == AnsiString::npos) {
        return zero;
    }
    const std::size_t last = digits.find_last_not_of('0');
    std::size_t count = last - first + 1;
    std::int64_t exponent = Number.exponent - static_cast<std::int64_t>(Number.fractionDigits.size()) +
                            static_cast<std::int64_t>(digits.size() - 1 - last);
    const std::int64_t leading = exponent + static_cast<std::int64_t>(count) - 1;
    if (leading > kMaxLeadingExponent) {
        return std::nullopt;
    }
    if (leading < kMinLeadingExponent) {
        return zero;
    }
    AnsiString text = Number.negative ? "-" : "";
    if (count > kMaxSignificantDigits) {
        // The last digit is non-zero, so the cut-off part is never zero.
        exponent += static_cast<std::int64_t>(count - kMaxSignificantDigits);
        count = kMaxSignificantDigits;
        text.append(digits, first, count).append("1");
        --exponent;
    } else {
        text.append(digits, first, count);
    }
    text.append("e").append(std::to_string(exponent));
    const long double value = strtold_l(text.c_str(), nullptr, CLocale());
    if (std::isinf(value)) {
        return std::nullopt;
    }
    return value;
}

// ---- FloatToStr ----

constexpr int kSignificantDigits = 15;
// Ten digits beyond the ~19 the extended type holds: when those after the 15th read "5" and zeros, the
// value is almost always an exact tie, and printing stays cheap.
constexpr int kProbeDigits = 30;

struct PrintedDigits {
    std::string_view digits;
    int exponent = 0;
};

// printf's %e is exactly rounded for any precision in glibc; the digits are compacted in Buffer,
// dropping the decimal point whatever character the locale makes it.
PrintedDigits ScientificDigits(long double Magnitude, int Precision, char* Buffer, std::size_t Size) {
    const int length = std::snprintf(Buffer, Size, "%.*Le", Precision, Magnitude);
    const std::string_view text(Buffer, static_cast<std::size_t>(length));
    const std::size_t e = text.find('e');
    std::size_t count = 0;
    for (std::size_t i = 0; i < e; ++i) {
        if (IsDigit(Buffer[i])) {
            Buffer[count++] = Buffer[i];
        }
    }
    int exponent = 0;
    std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
    return {std::string_view(Buffer, count), text[e + 1] == '-' ? -exponent : exponent};
}

bool IsHalf(std::string_view Tail) {
    return Tail[0] == '5' && Tail.find_first_not_of('0', 1) == std::string_view::npos;
}

// All digits of Magnitude's exact binary value: a 64-bit significand times 2^(k-64) needs no more than
// 64 - k digits after the point.
int ExactPrecision(long double Magnitude, int Exponent) {
    int binaryExponent = 0;
    std::frexp(Magnitude, &binaryExponent);
    const int exact = Exponent + std::max(0, std::numeric_limits<long double>::digits - binaryExponent);
    return std::max(exact, kProbeDigits - 1);
}

using SignificantDigits = std::array<char, kSignificantDigits>;

// Printed is either exact or shows no tie, so a 16th digit of 5 or more always means at least half.
int RoundAwayFromZero(const PrintedDigits& Printed, SignificantDigits& Rounded) {
    std::copy_n(Printed.digits.begin(), kSignificantDigits, Rounded.begin());
    if (Printed.digits[kSignificantDigits] < '5') {
        return Printed.exponent;
    }
    for (auto digit = Rounded.rbegin(); digit != Rounded.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return Printed.exponent;
        }
        *digit = '0';
    }
    Rounded[0] = '1';
    return Printed.exponent + 1;
}

AnsiString Place(std::string_view Digits, int Exponent) {
    AnsiString text;
    if (Exponent < -5 || Exponent >= kSignificantDigits) {
        text.append(Digits.substr(0, 1));
        if (Digits.size() > 1) {
            text.append(".").append(Digits.substr(1));
        }
        return text.append("E").append(std::to_string(Exponent));
    }
    if (Exponent < 0) {
        return text.append("0.").append(static_cast<std::size_t>(-Exponent - 1), '0').append(Digits);
    }
    const auto integerLength = static_cast<std::size_t>(Exponent) + 1;
    if (Digits.size() <= integerLength) {
        return text.append(Digits).append(integerLength - Digits.size(), '0');
    }
    return text.append(Digits.substr(0, integerLength)).append(".").append(Digits.substr(integerLength));
}

} // namespace

int StrToIntDef(const AnsiString& S, int Default) {
    return ReadInteger<int>(S).value_or(Default);
}

std::int64_t StrToInt64Def(const AnsiString& S, std::int64_t Default) {
    return ReadInteger<std::int64_t>(S).value_or(Default);
}

AnsiString IntToStr(int Value) {
    return IntegerText(Value, 10);
}

AnsiString IntToStr(std::int64_t Value) {
    return IntegerText(Value, 10);
}

AnsiString IntToHex(int Value, int Digits) {
    return HexText(Value, Digits);
}

AnsiString IntToHex(std::int64_t Value, int Digits) {
    return HexText(Value, Digits);
}

long double StrToFloat(const AnsiString& S) {
    const auto number = ScanDecimal(S);
    const auto value = number ? ToExtended(*number) : std::nullopt;
    if (!value) {
        throw FloatConvertError(S);
    }
    return *value;
}

EConvertError FloatConvertError(const AnsiString& S) {
    return EConvertError("'" + S + "' は浮動小数点ではありません");
}

AnsiString FloatToStr(long double Value) {
    if (std::isnan(Value)) {
        return "NAN";
    }
    if (std::isinf(Value)) {
        return Value < 0 ? "-INF" : "INF";
    }
    if (Value == 0) {
        return "0";
    }
    const long double magnitude = std::fabs(Value);
    std::array<char, kProbeDigits + 16> probe{};
    PrintedDigits printed = ScientificDigits(magnitude, kProbeDigits - 1, probe.data(), probe.size());
    AnsiString exact;
    if (IsHalf(printed.digits.substr(kSignificantDigits))) {
        const int precision = ExactPrecision(magnitude, printed.exponent);
        exact.resize(static_cast<std::size_t>(precision) + 32);
        printed = ScientificDigits(magnitude, precision, exact.data(), exact.size());
    }
    SignificantDigits rounded{};
    const int exponent = RoundAwayFromZero(printed, rounded);
    std::string_view digits(rounded.data(), rounded.size());
    digits = digits.substr(0, digits.find_last_not_of('0') + 1);
    return (Value < 0 ? "-" : "") + Place(digits, exponent);
}

std::string_view TrimBlanks(std::string_view S) {
    const auto blank = [](char C) { return C == ' ' || C == '\t'; };
    while (!S.empty() && blank(S.front())) {
        S.remove_prefix(1);
    }
    while (!S.empty() && blank(S.back())) {
        S.remove_suffix(1);
    }
    return S;
}
