// The arithmetic of the benchmark table: a wrong median or a ratio over a reference that
// measured nothing would print a table that lies.
#include "bench/Report.h"

#include <gtest/gtest.h>

namespace {

TEST(BenchReport, MedianOfOddEvenAndNoValues) {
    const std::pair<std::vector<double>, double> cases[] = {
        {{}, 0}, {{3}, 3}, {{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5}, {{2, 2, 9, 9, 1}, 2},
    };
    for (const auto& [values, want] : cases) {
        EXPECT_DOUBLE_EQ(bench::Median(values), want) << values.size() << " values";
    }
}

TEST(BenchReport, RatiosArePerRunAndSkipEmptyReferences) {
    const std::vector<bench::Sample> samples = {{2, 1}, {3, 0}, {1, 4}, {6, 3}};
    EXPECT_EQ(bench::Ratios(samples), (std::vector<double>{2, 0.25, 2}));
    EXPECT_EQ(bench::Figures(samples), (std::vector<double>{2, 3, 1, 6}));
    EXPECT_EQ(bench::References(samples), (std::vector<double>{1, 0, 4, 3}));
    // The median of the per-run ratios, not the ratio of the medians (1.5 / 2 = 0.75).
    EXPECT_DOUBLE_EQ(bench::Median(bench::Ratios(samples)), 2);
}

TEST(BenchReport, FormatKeepsThreeSignificantDigitsOrMore) {
    const std::pair<double, const char*> cases[] = {
        {0.00421, "0.00421 %"}, {0.5, "0.5 %"},   {1.234, "1.23 %"},
        {12.34, "12.3 %"},      {123.4, "123 %"}, {-2.5, "-2.50 %"},
    };
    for (const auto& [value, want] : cases) {
        EXPECT_EQ(bench::Format(value, "%"), want) << value;
    }
}

}  // namespace
