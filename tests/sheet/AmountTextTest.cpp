#include "sheet/AmountText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(FormatThousands, GroupsEveryThreeBytesFromTheRightButNeverAfterTheSign) {
    const struct {
        const char* Source;
        const char* Expected;
    } cases[] = {
        {"", ""},
        {"7", "7"},
        {"123", "123"},
        {"1234", "1,234"},
        {"123456", "123,456"},
        {"1234567", "1,234,567"},
        {"-1", "-1"},
        {"-123", "-123"},
        {"-1234", "-1,234"},
        {"-123456", "-123,456"},
        {"-0", "-0"},
        {"-9223372036854775808", "-9,223,372,036,854,775,808"},
        {"abcd", "a,bcd"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatThousands(c.Source), c.Expected) << "source '" << c.Source << "'";
    }
}

TEST(FormatFixed4, WritesAtMostFourDecimalsWithAGroupedIntegerPart) {
    const struct {
        Fixed4 Value;
        const char* Expected;
    } cases[] = {
        {0, "0"},
        {500, "0.05"},
        {600000, "60"},
        {1, "0.0001"},
        {12345678, "1,234.5678"},
        {12340000, "1,234"},
        {12345000, "1,234.5"},
        {-500, "-0.05"},
        {-12345678, "-1,234.5678"},
        {12600000000, "1,260,000"},
        {123456789, "12,345.6789"},
        {-1, "-0.0001"},
        {9999, "0.9999"},
        // From 10^11 on, fifteen significant digits are kept, halves rounded away from zero.
        {1000000000000005, "100,000,000,000.001"},
        {-1000000000000005, "-100,000,000,000.001"},
        // Exact where a floating-point product with 0.0001 would round the last digit up.
        {273451393504467487, "27,345,139,350,446.7"},
        {-4349217516167804823, "-434,921,751,616,780"},
        {9999999999999999, "1,000,000,000,000"},
        {INT64_MAX, "922,337,203,685,478"},
        {INT64_MIN, "-922,337,203,685,478"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFixed4(c.Value), c.Expected) << "value " << c.Value;
    }
}

} // namespace
