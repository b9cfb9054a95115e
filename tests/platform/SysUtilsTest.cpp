#include "platform/SysUtils.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

// A default no row expects as a result, so a failed read cannot pass for a successful one.
constexpr int kDefault = -424242;
constexpr std::int64_t kDefault64 = -42424242424242;

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

const std::string kMiB(1 << 20, '0');

// ---- StrToIntDef / StrToInt64Def ----

struct IntCase {
    const char* name;
    std::string text;
    std::optional<int> expected;
};

TEST(StrToIntDef, ReadsDecimalAndHexFormsAndRejectsTheRest) {
    const IntCase cases[] = {
        {"leading blanks and zeros", " 0012", 12},
        {"explicit plus", "+5", 5},
        {"minus", "-5", -5},
        {"zero", "0", 0},
        {"minus zero", "-0", 0},
        {"x prefix", "x1F", 31},
        {"upper X prefix, mixed case digits", "X1f", 31},
        {"dollar prefix, lower-case digits", "$ff", 255},
        {"0x prefix", "0x10", 16},
        {"0X prefix", "0XaB", 171},
        {"blanks before a hex prefix", "  $10", 16},
        {"hex leading zeros beyond eight digits", "$000000001", 1},
        {"hex all ones is minus one", "$FFFFFFFF", -1},
        {"hex top bit alone is the minimum", "$80000000", kIntMin},
        {"largest int", "2147483647", kIntMax},
        {"smallest int", "-2147483648", kIntMin},
        {"largest int behind many leading zeros", "0000000000002147483647", kIntMax},
        {"one past the largest int", "2147483648", std::nullopt},
        {"one below the smallest int", "-2147483649", std::nullopt},
        {"hex one digit too wide", "$100000000", std::nullopt},
        {"far out of range", "99999999999999999999999", std::nullopt},
        {"64-bit all-ones hex", "$FFFFFFFFFFFFFFFF", std::nullopt},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StrToIntDef(c.text, kDefault), c.expected.value_or(kDefault)) << '"' << c.text << '"';
    }
}

struct Int64Case {
    const char* name;
    std::string text;
    std::optional<std::int64_t> expected;
};

TEST(StrToInt64Def, ReadsTheWholeSixtyFourBitRange) {
    const Int64Case cases[] = {
        {"beyond 32 bits", "4294967296", std::int64_t{4294967296}},
        {"32-bit all-ones hex stays positive", "$FFFFFFFF", std::int64_t{4294967295}},
        {"64-bit all-ones hex is minus one", "$FFFFFFFFFFFFFFFF", -1},
        {"hex top bit alone is the minimum", "0x8000000000000000", kInt64Min},
        {"largest int64", "9223372036854775807", kInt64Max},
        {"smallest int64", "-9223372036854775808", kInt64Min},
        {"leading blanks, plus sign", "  +42", 42},
        {"one past the largest int64", "9223372036854775808", std::nullopt},
        {"one below the smallest int64", "-9223372036854775809", std::nullopt},
        {"hex one digit too wide", "$10000000000000000", std::nullopt},
        {"unsigned maximum in decimal", "18446744073709551615", std::nullopt},
    };
    for (const Int64Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StrToInt64Def(c.text, kDefault64), c.expected.value_or(kDefault64)) << '"' << c.text << '"';
    }
}

struct MalformedCase {
    const char* name;
    std::string text;
};

TEST(StrToIntDef, MalformedTextGivesTheDefaultInBothWidths) {
    const MalformedCase cases[] = {
        {"empty", ""},
        {"blanks only", "   "},
        {"sign alone", "-"},
        {"plus alone", "+"},
        {"dollar alone", "$"},
        {"x alone", "x"},
        {"0x alone", "0x"},
        {"thousands separator", "1,200"},
        {"decimal point", "12.5"},
        {"trailing blank", "12 "},
        {"blank between sign and digits", "- 5"},
        {"full-width digits", "\xEF\xBC\x91\xEF\xBC\x92"},
        {"letters", "abc"},
        {"minus before hex prefix", "-$1"},
        {"plus before 0x prefix", "+0x1"},
        {"sign after hex prefix", "$-1"},
        {"blank after hex prefix", "$ 1"},
        {"non-hex letter in hex", "0x1g"},
        {"hex letter in decimal", "12A"},
        {"exponent", "1e3"},
        {"leading tab", "\t5"},
        {"trailing sign", "5-"},
        {"double sign", "--5"},
        {"embedded NUL", std::string("5\0", 2)},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StrToIntDef(c.text, kDefault), kDefault);
        EXPECT_EQ(StrToInt64Def(c.text, kDefault64), kDefault64);
    }
}

TEST(StrToIntDef, MebibyteTextsAreReadToTheEnd) {
    EXPECT_EQ(StrToIntDef(kMiB + "42", kDefault), 42);
    EXPECT_EQ(StrToInt64Def("$" + kMiB + "1", kDefault64), 1);
    EXPECT_EQ(StrToIntDef(std::string(1 << 20, '7'), kDefault), kDefault);
    EXPECT_EQ(StrToInt64Def(std::string(1 << 20, '7'), kDefault64), kDefault64);
    EXPECT_EQ(StrToIntDef(kMiB + "1x", kDefault), kDefault);
}

// ---- IntToStr / IntToHex ----

TEST(IntToStr, WritesCanonicalDecimal) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(7), "7");
    EXPECT_EQ(IntToStr(-7), "-7");
    EXPECT_EQ(IntToStr(1200), "1200");
    EXPECT_EQ(IntToStr(kIntMax), "2147483647");
    EXPECT_EQ(IntToStr(kIntMin), "-2147483648");
    EXPECT_EQ(IntToStr(std::int64_t{1} << 40), "1099511627776");
    EXPECT_EQ(IntToStr(-(std::int64_t{1} << 40)), "-1099511627776");
    EXPECT_EQ(IntToStr(kInt64Max), "9223372036854775807");
    EXPECT_EQ(IntToStr(kInt64Min), "-9223372036854775808");
}

TEST(IntToStr, RoundTripsThroughStrToInt64Def) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 1000; ++i) {
        const auto value = static_cast<std::int64_t>(random());
        EXPECT_EQ(StrToInt64Def(IntToStr(value), kDefault64), value) << value;
    }
}

TEST(IntToHex, WritesUpperCaseTwosComplementPaddedToDigits) {
    EXPECT_EQ(IntToHex(0x0411, 4), "0411");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(0, 3), "000");
    EXPECT_EQ(IntToHex(255, -1), "FF");
    EXPECT_EQ(IntToHex(kIntMin, 0), "80000000");
    EXPECT_EQ(IntToHex(std::int64_t{-1}, 0), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(std::int64_t{0x123456789A}, 12), "00123456789A");
    EXPECT_EQ(IntToHex(kInt64Min, 20), "00008000000000000000");
}

// ---- StrToFloat ----

struct FloatCase {
    const char* name;
    std::string text;
    long double expected;
};

TEST(StrToFloat, ReadsTheDecimalGrammar) {
    const long double two64 = std::ldexp(1.0L, 64);
    const FloatCase cases[] = {
        {"integer", "1", 1.0L},
        {"blanks both sides, minus", "  -2.5  ", -2.5L},
        {"plus and point first", "+.5", 0.5L},
        {"point last", "5.", 5.0L},
        {"point alone", ".", 0.0L},
        {"point alone with bare exponent", ".E", 0.0L},
        {"leading and trailing zeros", "00012.500", 12.5L},
        {"exponent", "1.5E3", 1500.0L},
        {"lower-case negative exponent", "25e-1", 2.5L},
        {"exponent without digits", "1E", 1.0L},
        {"exponent sign without digits", "1E+", 1.0L},
        {"negative exponent sign without digits", "1e-", 1.0L},
        {"exponent with many leading zeros", "1E" + kMiB + "1", 10.0L},
        {"zero with a huge exponent", "0E99999999999999999999", 0.0L},
        {"huge negative exponent underflows to zero", "1E-99999999999999999999", 0.0L},
        {"one tenth, correctly rounded", "0.1", 0.1L},
        {"halfway above 2^64 rounds to the even neighbour below", "18446744073709551617", two64},
        {"halfway further up rounds to the even neighbour above", "18446744073709551619", two64 + 4},
        {"just above halfway, a mebibyte later", "18446744073709551617." + kMiB + "1", two64 + 2},
        {"a mebibyte of fraction zeros before a one underflows", "0." + kMiB + "1", 0.0L},
        {"a mebibyte of integer zeros scaled back", "1" + kMiB + "E-1048576", 1.0L},
        {"largest extended value", "1.18973149535723176502e4932", std::numeric_limits<long double>::max()},
        {"smallest subnormal", "3.64519953188247460253e-4951", std::numeric_limits<long double>::denorm_min()},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StrToFloat(c.text), c.expected);
    }
}

TEST(StrToFloat, KeepsTheSignOfZero) {
    EXPECT_TRUE(std::signbit(StrToFloat("-.")));
    EXPECT_TRUE(std::signbit(StrToFloat("-0E5")));
    EXPECT_FALSE(std::signbit(StrToFloat("0")));
}

TEST(StrToFloat, RejectsEverythingElse) {
    const MalformedCase cases[] = {
        {"empty", ""},
        {"blanks only", "   "},
        {"plus alone", "+"},
        {"minus alone", "-"},
        {"exponent without mantissa", "E5"},
        {"thousands separator", "1,000"},
        {"comma as decimal separator", "1,5"},
        {"percent", "12%"},
        {"currency sign", "\xC2\xA5"
                          "5"},
        {"leading tab", "\t1"},
        {"trailing tab", "1\t"},
        {"second point", "1.2.3"},
        {"blank inside digits", "1 000"},
        {"blank after sign", "- 1"},
        {"blank before exponent", "1 E5"},
        {"blank inside exponent", "1E 5"},
        {"two signs", "+-1"},
        {"two exponent signs", "1e+-1"},
        {"hex form", "0x10"},
        {"infinity word", "inf"},
        {"INF as FloatToStr writes it", "INF"},
        {"nan word", "nan"},
        {"full-width digit", "\xEF\xBC\x91"},
        {"overflow", "1e5000"},
        {"negative overflow", "-1e5000"},
        {"just beyond the largest value", "1.2e4932"},
        {"huge exponent", "1E99999999999999999999"},
        {"a mebibyte of digits", std::string(1 << 20, '1')},
        {"embedded NUL", std::string("1\0", 2)},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(StrToFloat(c.text), EConvertError);
    }
}

TEST(StrToFloat, ErrorMessageQuotesTheTextUnchanged) {
    try {
        StrToFloat(" 1,5 ");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "' 1,5 ' は浮動小数点ではありません");
    }
}

// ---- FloatToStr ----

long double Fixed4(std::int64_t Count) {
    return Count * static_cast<long double>(0.0001);
}

struct FloatTextCase {
    const char* name;
    long double value;
    const char* expected;
};

TEST(FloatToStr, WritesFifteenSignificantDigits) {
    const FloatTextCase cases[] = {
        {"zero", 0.0L, "0"},
        {"negative zero", -0.0L, "0"},
        {"five hundredths from a Fixed4 count", Fixed4(500), "0.05"},
        {"one ten-thousandth", Fixed4(1), "0.0001"},
        {"negative hundredths", Fixed4(-500), "-0.05"},
        {"four fraction digits", Fixed4(12345678), "1234.5678"},
        {"whole number", Fixed4(600000), "60"},
        {"fraction below one", Fixed4(1234), "0.1234"},
        {"one tenth", 0.1L, "0.1"},
        {"one third", 1.0L / 3, "0.333333333333333"},
        {"two thirds rounds up", 2.0L / 3, "0.666666666666667"},
        {"fifteen-digit integer", 123456789012345.0L, "123456789012345"},
        {"largest fixed exponent", 100000000000000.0L, "100000000000000"},
        {"tie at the 16th digit rounds away from zero", 1000000000000005.0L, "1.00000000000001E15"},
        {"just below that tie rounds down", 1000000000000004.875L, "1E15"},
        {"quarter tie rounds away from zero", 12345678901234.25L, "12345678901234.3"},
        {"negative quarter tie rounds away from zero", -12345678901234.25L, "-12345678901234.3"},
        {"three-quarter tie rounds up", 12345678901234.75L, "12345678901234.8"},
        {"tie that carries into a new digit", 999999999999999.5L, "1E15"},
        {"tie on an even last digit still rounds away", 100000000000002.5L, "100000000000003"},
        // These two lie within 2e-34 (relative) of a 16-digit tie, so a printout of a few dozen digits shows
        // "5" and zeros after the 15th; only the exact binary value tells which way to go.
        {"hair below a tie rounds down", std::ldexp(static_cast<long double>(0xAF179F4476D372A3), -84),
         "6.52269549586784E-7"},
        {"hair above a tie rounds up", std::ldexp(static_cast<long double>(0xD0E860BB892C8D5D), -84),
         "7.78241925022591E-7"},
        {"exactly 1E15", 1e15L, "1E15"},
        {"smallest fixed magnitude", 0.00001L, "0.00001"},
        {"rounding up into the fixed range", 0.0000099999999999999999L, "0.00001"},
        {"one millionth", 0.000001L, "1E-6"},
        {"scientific with fraction", 1.5e-7L, "1.5E-7"},
        {"large scientific", 1.2345e20L, "1.2345E20"},
        {"negative scientific", -2.5e-300L, "-2.5E-300"},
        {"largest extended value", std::numeric_limits<long double>::max(), "1.18973149535723E4932"},
        {"smallest subnormal", std::numeric_limits<long double>::denorm_min(), "3.64519953188247E-4951"},
        {"infinity", std::numeric_limits<long double>::infinity(), "INF"},
        {"negative infinity", -std::numeric_limits<long double>::infinity(), "-INF"},
        {"not a number", std::numeric_limits<long double>::quiet_NaN(), "NAN"},
    };
    for (const FloatTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FloatToStr(c.value), c.expected);
    }
}

// n / 10000 written exactly, then cut to 15 significant digits with halves away from zero,
// all in integer arithmetic.
std::string Fixed4Text(std::int64_t Count) {
    const bool negative = Count < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(Count) : static_cast<std::uint64_t>(Count);
    const std::size_t length = std::to_string(magnitude).size();
    std::size_t dropped = length > 15 ? length - 15 : 0;
    std::uint64_t unit = 1;
    for (std::size_t i = 0; i < dropped; ++i) {
        unit *= 10;
    }
    std::uint64_t kept = magnitude / unit;
    if (2 * (magnitude % unit) >= unit) {
        ++kept;
    }
    std::string digits = std::to_string(kept);
    if (digits.size() > 15) {
        digits.pop_back();
        ++dropped;
    }
    digits.append(dropped, '0');
    if (digits.size() < 5) {
        digits.insert(0, 5 - digits.size(), '0');
    }
    std::string fraction = digits.substr(digits.size() - 4);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    const std::string text = digits.substr(0, digits.size() - 4) + (fraction.empty() ? "" : "." + fraction);
    return (negative && text != "0" ? "-" : "") + text;
}

TEST(FloatToStr, Fixed4TextReferenceRoundsOnTheDecimal) {
    EXPECT_EQ(Fixed4Text(0), "0");
    EXPECT_EQ(Fixed4Text(-500), "-0.05");
    EXPECT_EQ(Fixed4Text(1234567890123450), "123456789012.345");
    EXPECT_EQ(Fixed4Text(1234567890123455), "123456789012.346");
    EXPECT_EQ(Fixed4Text(-1234567890123455), "-123456789012.346");
    EXPECT_EQ(Fixed4Text(9999999999999999), "1000000000000");
    EXPECT_EQ(Fixed4Text(kInt64Max), "922337203685478");
    EXPECT_EQ(Fixed4Text(kInt64Min), "-922337203685478");
}

// Below 10^11 no digit is rounded away, and the product with the double nearest 0.0001 taken in
// extended precision reads exactly. (Above, it can round a count whose tail lies just under a half
// the wrong way: 273451393504467487 shows as 27345139350446.8. Amounts are formatted from the
// integer count for that reason.)
TEST(FloatToStr, CountsOfTenThousandthsBelowTenToTheElevenReadAsTheirExactDecimal) {
    constexpr std::int64_t limit = 1'000'000'000'000'000; // 10^11 in ten-thousandths
    std::vector<std::int64_t> counts = {0, 1, -1, 9999, 10000, -10000, 5, 50005, limit - 1, -(limit - 1)};
    for (std::int64_t power = 1; power < limit; power *= 10) {
        counts.insert(counts.end(), {power, -power, power - 1, 5 * power, -(5 * power), 5 * power - 1});
    }
    std::mt19937_64 random(4);
    for (int i = 0; i < 2000; ++i) {
        // The same number of values for every order of magnitude, not just the large ones.
        const auto bits = static_cast<int>(random() % 50);
        counts.push_back(static_cast<std::int64_t>(random() >> (64 - bits - 1)) % limit * (i % 2 == 0 ? 1 : -1));
    }
    std::vector<std::string> mismatches;
    for (const std::int64_t count : counts) {
        const std::string expected = Fixed4Text(count);
        const std::string actual = FloatToStr(Fixed4(count));
        if (actual != expected) {
            mismatches.push_back(std::to_string(count) + ": expected " + expected + ", got " + actual);
        }
    }
    std::string report;
    for (const std::string& line : mismatches) {
        report += line + "\n";
    }
    EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " of " << counts.size() << " counts differ:\n" << report;
}

// ---- locale independence ----

// The suite runs once per locale (the test presets name them); each run must really be under its locale,
// as the program is, or it proves nothing.
TEST(RunLocale, IsTheOneTheEnvironmentNames) {
    const char* wanted = std::getenv("LC_ALL");
    if (wanted == nullptr || *wanted == '\0') {
        GTEST_SKIP() << "LC_ALL is not set";
    }
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), wanted);
    EXPECT_STREQ(std::setlocale(LC_MONETARY, nullptr), wanted);
}

class UnderGermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            GTEST_SKIP() << "de_DE.UTF-8 is not installed";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

TEST_F(UnderGermanLocale, PointStaysTheDecimalSeparator) {
    EXPECT_EQ(StrToFloat("1.5"), 1.5L);
    EXPECT_EQ(StrToFloat(" -2.25E1 "), -22.5L);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
    EXPECT_EQ(FloatToStr(1.5L), "1.5");
    EXPECT_EQ(FloatToStr(Fixed4(12345678)), "1234.5678");
    EXPECT_EQ(FloatToStr(1000000000000005.0L), "1.00000000000001E15");
    EXPECT_EQ(FloatToStr(1.5e-7L), "1.5E-7");
}

} // namespace
