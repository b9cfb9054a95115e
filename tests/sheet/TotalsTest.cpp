#include "sheet/Totals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>

void PrintTo(const TTotalsTexts& texts, std::ostream* out) {
    *out << "{" << texts.Gokei << " | " << texts.ZeiKei << " | " << texts.SouKei << " | " << texts.Syokei << "}";
}

namespace {

struct Row {
    std::int64_t Amount;
    bool Marked;
};

struct TotalsCase {
    const char* Name;
    std::initializer_list<Row> Rows;
    Fixed4 Rate;
    TTotalsTexts Expected;
};

void ExpectTotals(std::initializer_list<TotalsCase> cases) {
    for (const TotalsCase& c : cases) {
        TAmountSums sums;
        for (const Row& row : c.Rows) {
            sums.Add(row.Amount, row.Marked);
        }
        EXPECT_EQ(TotalsTexts(sums, c.Rate), c.Expected) << c.Name;
    }
}

TEST(TotalsTexts, FollowTheTotalTheRateAndTheMarks) {
    ExpectTotals({
        {"empty sheet", {}, 500, {"", "", "", ""}},
        {"one unmarked row", {{3600, false}}, 500, {"3,600", "180", "3,780", ""}},
        {"the same row marked", {{3600, true}}, 500, {"3,600", "180", "3,780", "3,600"}},
        {"a zero total blanks three fields, not the subtotal", {{100, true}, {-100, false}}, 500, {"", "", "", "100"}},
        {"rate 0", {{1234, false}}, 0, {"1,234", "0", "1,234", ""}},
        {"total 1", {{1, false}}, 500, {"1", "0.05", "1.05", ""}},
        {"total -1", {{-1, false}}, 500, {"-1", "-0.05", "-1.05", ""}},
        {"rate 0.08", {{12345, false}}, 800, {"12,345", "987.6", "13,332.6", ""}},
        {"rate 0.0825", {{1000, false}}, 825, {"1,000", "82.5", "1,082.5", ""}},
        {"largest 32-bit total",
         {{2147483647, false}},
         500,
         {"2,147,483,647", "107,374,182.35", "2,254,857,829.35", ""}},
        {"a total beyond 32 bits is exact",
         {{10000000000, false}},
         500,
         {"10,000,000,000", "500,000,000", "10,500,000,000", ""}},
        {"negative rate", {{1000, false}}, -500, {"1,000", "-50", "950", ""}},
    });
}

TEST(TotalsTexts, ShowOverflowInTheFigureThatCannotBeHeldAndInEveryFigureFromIt) {
    const std::int64_t big = INT64_MAX / 2 + 1;
    ExpectTotals({
        {"total beyond 64 bits", {{big, false}, {big, false}}, 500, {OverflowText, OverflowText, OverflowText, ""}},
        {"subtotal beyond 64 bits while the total cancels",
         {{big, true}, {big, true}, {-big, false}, {-big, false}},
         500,
         {"", "", "", OverflowText}},
        {"a total of zero from overflowing parts is no overflow",
         {{big, false}, {big, false}, {-big, false}, {-big, false}},
         500,
         {"", "", "", ""}},
        {"total beyond 64 bits on the negative side",
         {{INT64_MIN, false}, {-1, false}},
         500,
         {OverflowText, OverflowText, OverflowText, ""}},
        {"tax beyond 64 bits",
         {{INT64_MAX / 400, false}},
         500,
         {"23,058,430,092,136,939", OverflowText, OverflowText, ""}},
        {"grand total beyond 64 bits while the tax fits",
         {{922337203685477, false}},
         10000,
         {"922,337,203,685,477", "922,337,203,685,477", OverflowText, ""}},
        {"the grand total fits where total × 10000 alone would not",
         {{1000000000000000, false}},
         -5000,
         {"1,000,000,000,000,000", "-500,000,000,000,000", "500,000,000,000,000", ""}},
        {"the grand total follows an overflowed tax",
         {{1000000000000000, false}},
         -10000,
         {"1,000,000,000,000,000", OverflowText, OverflowText, ""}},
    });
}

TEST(TotalsTexts, OnlyTheFinalSumMustFitNotTheRunningOne) {
    TAmountSums sums;
    sums.Add(INT64_MAX, true);
    sums.Add(1, true);
    sums.Add(-2, true);
    EXPECT_EQ(TotalsTexts(sums, 0),
              (TTotalsTexts{"9,223,372,036,854,775,806", "0", OverflowText, "9,223,372,036,854,775,806"}));
}

} // namespace
