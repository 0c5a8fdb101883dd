// What the settings and tag name dialogs decide, apart from their windows: how the four
// settings appear in the controls, how the controls' texts are checked and turned back into
// values, and which field an input error belongs to. Texts from controls are Shift-JIS;
// messages are UTF-8, for the window to show as they are.
#pragma once

#include <cstdint>
#include <string>

#include "tags/Settings.h"

// The settings dialog's controls as they are filled on showing.
struct TSettingsView {
    int RadioIndex = 0;        // item of RadioGroup1
    std::string IntervalText;  // Edit1, seconds
    std::string KeyWaitText;   // Edit2, seconds
    bool Ticked = false;       // CheckBox1
    bool operator==(const TSettingsView&) const = default;
};

enum class TSettingsField { None, Interval, KeyWait };

struct TSettingsCheck {
    TSettingsField Failed = TSettingsField::None;
    std::string Message;  // UTF-8; empty when nothing failed
    // Meaningful only when nothing failed: both times in whole milliseconds, as the dialog
    // edits them, and the maximise switch 1 or 0.
    TSettingsValues Values;
};

inline constexpr int kDirectionItems = 4;  // 上 下 左 右

// The key wait appears in whole milliseconds, as the dialog edits it.
TSettingsView ShowSettings(const TSettingsValues& values);

// Checks the interval first, so when both fields are wrong only its message is shown.
TSettingsCheck CheckSettings(const TSettingsView& input);

// Milliseconds as seconds in the shortest decimal form: 2500 gives 2.5, 0 gives 0.
std::string MsToSecondsText(std::int32_t ms);

// The tag name dialog: the message for a name that cannot be taken, empty when it can.
std::string TagNameError(const std::string& name);
