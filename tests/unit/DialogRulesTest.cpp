#include "app/logic/DialogRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

const std::string kIntervalMessage =
    "アプリケーション検索割込時間は、0より大きく、60秒以内で入力して下さい。";
const std::string kKeyWaitMessage = "コマンドキー送信ウエイト時間は、0～60秒以内で入力して下さい。";

TSettingsView Input(const std::string& interval, const std::string& keyWait, int radio = 0,
                    bool ticked = false) {
    return TSettingsView{radio, interval, keyWait, ticked};
}

TEST(DialogRulesTest, ShowsMillisecondsAsSecondsInShortestForm) {
    const struct {
        std::int32_t ms;
        const char* text;
    } cases[] = {
        {5000, "5"},    {2500, "2.5"},   {100, "0.1"},
        {500, "0.5"},   {0, "0"},        {1, "0.001"},
        {60000, "60"},  {100000, "100"}, {123456, "123.456"},
        {-500, "-0.5"}, {333, "0.333"},  {2147483647, "2147483.647"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MsToSecondsText(c.ms), c.text) << c.ms;
    }
}

TEST(DialogRulesTest, ShowPicksRadioItemAndTick) {
    const struct {
        std::int32_t direction, maximize;
        int radio;
        bool ticked;
    } cases[] = {
        {0, 0, 0, false}, {1, 1, 1, true},  {2, 0, 2, false},  {3, 2, 3, true},
        {4, -1, 0, true}, {9, 0, 0, false}, {-1, 0, 0, false}, {INT32_MIN, 0, 0, false},
    };
    for (const auto& c : cases) {
        const TSettingsView v = ShowSettings({c.direction, 5000, 0.5, c.maximize});
        EXPECT_EQ(v.RadioIndex, c.radio) << c.direction;
        EXPECT_EQ(v.Ticked, c.ticked) << c.maximize;
    }
}

TEST(DialogRulesTest, IntervalOutOfRangeFailsWithItsMessage) {
    for (const char* text :
         {"0", "", "abc", "60.1", "-1", "60.0001", "1e999", "-1e999", "0.0004", "0.0005"}) {
        const TSettingsCheck c = CheckSettings(Input(text, "0.5"));
        EXPECT_EQ(c.Failed, TSettingsField::Interval) << text;
        EXPECT_EQ(c.Message, kIntervalMessage) << text;
    }
}

TEST(DialogRulesTest, KeyWaitOutOfRangeFailsWithItsMessage) {
    for (const char* text : {"-1", "60.1", "100", "1e999", "-0.001"}) {
        const TSettingsCheck c = CheckSettings(Input("5", text));
        EXPECT_EQ(c.Failed, TSettingsField::KeyWait) << text;
        EXPECT_EQ(c.Message, kKeyWaitMessage) << text;
    }
}

TEST(DialogRulesTest, IntervalIsCheckedBeforeKeyWait) {
    const TSettingsCheck c = CheckSettings(Input("0", "-1"));
    EXPECT_EQ(c.Failed, TSettingsField::Interval);
}

TEST(DialogRulesTest, AcceptedInputsGiveMilliseconds) {
    const struct {
        const char* interval;
        const char* keyWait;
        std::int32_t intervalMs, keyWaitMs;
    } cases[] = {
        {"60", "60", 60000, 60000}, {"5", "0.5", 5000, 500}, {"0.0006", "", 1, 0},
        {"2.5", "abc", 2500, 0},    {"0.1", "0", 100, 0},    {"1", "0.0025", 1000, 2},
    };
    for (const auto& c : cases) {
        const TSettingsCheck check = CheckSettings(Input(c.interval, c.keyWait));
        ASSERT_EQ(check.Failed, TSettingsField::None) << c.interval << " " << c.keyWait;
        EXPECT_TRUE(check.Message.empty());
        EXPECT_EQ(check.Values.SearchInterval, c.intervalMs) << c.interval;
        EXPECT_DOUBLE_EQ(check.Values.KeyWait, c.keyWaitMs / 1000.0) << c.keyWait;
    }
}

TEST(DialogRulesTest, OkHandsBackDirectionAndMaximizeAsOneOrZero) {
    EXPECT_EQ(CheckSettings(Input("5", "0", 2, true)).Values, (TSettingsValues{2, 5000, 0, 1}));
    EXPECT_EQ(CheckSettings(Input("5", "0", 3, false)).Values, (TSettingsValues{3, 5000, 0, 0}));
}

// Showing and confirming without a change gives back what was shown, normalised.
TEST(DialogRulesTest, ShowThenOkUnchangedRoundTrips) {
    const struct {
        TSettingsValues in, out;
    } cases[] = {
        {{0, 5000, 0.5, 0}, {0, 5000, 0.5, 0}},
        {{3, 60000, 0, 1}, {3, 60000, 0, 1}},
        {{9, 2500, 0.001, 2}, {0, 2500, 0.001, 1}},
        {{1, 100, 59.999, -3}, {1, 100, 59.999, 1}},
        {{2, 1, 0.333, 0}, {2, 1, 0.333, 0}},
        // A key wait finer than a millisecond comes back in whole milliseconds.
        {{0, 5000, 0.0005, 0}, {0, 5000, 0, 0}},
        {{0, 5000, 0.0015, 0}, {0, 5000, 0.002, 0}},
        {{0, 5000, 0.25049, 0}, {0, 5000, 0.25, 0}},
    };
    for (const auto& c : cases) {
        const TSettingsView v = ShowSettings(c.in);
        const TSettingsCheck check = CheckSettings(v);
        ASSERT_EQ(check.Failed, TSettingsField::None) << v.IntervalText << " " << v.KeyWaitText;
        EXPECT_EQ(check.Values, c.out);
    }
}

// A key wait of 100 s from the settings file shows as it is and cannot be confirmed unchanged.
TEST(DialogRulesTest, KeyWaitBeyondRangeFromFileMustBeCorrected) {
    const TSettingsView v = ShowSettings({0, 5000, 100, 0});
    EXPECT_EQ(v.KeyWaitText, "100");
    EXPECT_EQ(CheckSettings(v).Failed, TSettingsField::KeyWait);
}

// Whatever a hand-edited file holds, the dialog shows a number that it then refuses, never one
// that wrapped into range: far beyond the range it shows the largest wait, below it a negative.
TEST(DialogRulesTest, KeyWaitFarBeyondRangeShowsAsTheNearestEnd) {
    const struct {
        double keyWait;
        const char* text;
    } cases[] = {{1e300, "2147483.647"}, {-1e300, "-2147483.648"}, {-0.5, "-0.5"}};
    for (const auto& c : cases) {
        const TSettingsView v = ShowSettings({0, 5000, c.keyWait, 0});
        EXPECT_EQ(v.KeyWaitText, c.text) << c.keyWait;
        EXPECT_EQ(CheckSettings(v).Failed, TSettingsField::KeyWait) << c.keyWait;
    }
}

TEST(DialogRulesTest, TagNameMustNotBeEmpty) {
    EXPECT_EQ(TagNameError(""), "タグ名を入力して下さい。");
    EXPECT_EQ(TagNameError(" "), "");
    EXPECT_EQ(TagNameError("3"), "");
}

}  // namespace
