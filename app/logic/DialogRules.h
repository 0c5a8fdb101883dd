// What the settings and tag name dialogs decide, apart from their windows: how the four
// settings appear in the controls, how the controls' texts are checked and turned back into
// values, and which field an input error belongs to. Texts from controls are Shift-JIS;
// messages are UTF-8, for the window to show as they are.
#pragma once

#include <cstdint>
#include <string>

// The settings dialog's controls as they are filled on showing.
struct TSettingsView {
    int RadioIndex = 0;        // item of RadioGroup1
    std::string IntervalText;  // Edit1, seconds
    std::string KeyWaitText;   // Edit2, seconds
    bool Ticked = false;       // CheckBox1
    bool operator==(const TSettingsView&) const = default;
};

// The settings as the dialog hands them back.
struct TSettingsValues {
    std::int32_t TagDirection = 0;
    std::int32_t SearchInterval = 0;  // ms
    std::int32_t KeyWaitMs = 0;
    std::int32_t MaximizeOnSend = 0;  // 1 or 0
    bool operator==(const TSettingsValues&) const = default;
};

enum class TSettingsField { None, Interval, KeyWait };

struct TSettingsCheck {
    TSettingsField Failed = TSettingsField::None;
    std::string Message;     // UTF-8; empty when nothing failed
    TSettingsValues Values;  // meaningful only when nothing failed
};

inline constexpr int kDirectionItems = 4;  // 上 下 左 右

TSettingsView ShowSettings(std::int32_t tagDirection, std::int32_t searchInterval,
                           std::int32_t keyWaitMs, std::int32_t maximizeOnSend);

// Checks the interval first, so when both fields are wrong only its message is shown.
TSettingsCheck CheckSettings(const TSettingsView& input);

// Milliseconds as seconds in the shortest decimal form: 2500 gives 2.5, 0 gives 0.
std::string MsToSecondsText(std::int32_t ms);
// Seconds to whole milliseconds, halves going to the even neighbour. Only for values that fit.
std::int32_t SecondsToMs(double seconds);

// The tag name dialog: the message for a name that cannot be taken, empty when it can.
std::string TagNameError(const std::string& name);
