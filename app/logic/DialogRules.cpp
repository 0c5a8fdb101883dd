#include "app/logic/DialogRules.h"

#include <cmath>

#include "tags/Func_.h"

namespace {

const char kIntervalMessage[] =
    "アプリケーション検索割込時間は、0より大きく、60秒以内で入力して下さい。";
const char kKeyWaitMessage[] = "コマンドキー送信ウエイト時間は、0～60秒以内で入力して下さい。";
const char kTagNameMessage[] = "タグ名を入力して下さい。";

constexpr double kMaxSeconds = 60;

// A number too large for a double cannot be in range: read it as one that is out of range
// rather than let the error escape the dialog.
double ReadSeconds(const std::string& text) {
    try {
        return StrToFloatZero(text);
    } catch (const FloatOverflowError&) {
        return HUGE_VAL;
    }
}

TSettingsCheck Fail(TSettingsField field, const char* message) {
    TSettingsCheck check;
    check.Failed = field;
    check.Message = message;
    return check;
}

}  // namespace

TSettingsView ShowSettings(const TSettingsValues& values) {
    const std::int32_t direction = values.TagDirection;
    TSettingsView view;
    view.RadioIndex = direction >= 0 && direction <= kDirectionItems - 1 ? direction : 0;
    view.IntervalText = MsToSecondsText(values.SearchInterval);
    view.KeyWaitText = MsToSecondsText(SecondsToMs(values.KeyWait));
    view.Ticked = values.MaximizeOnSend != 0;
    return view;
}

TSettingsCheck CheckSettings(const TSettingsView& input) {
    // Written so that a NaN fails each test as well.
    const double a = ReadSeconds(input.IntervalText);
    if (!(a > 0 && a <= kMaxSeconds)) {
        return Fail(TSettingsField::Interval, kIntervalMessage);
    }
    // An interval that rounds to 0 ms would stop the re-scan altogether, which is not what a
    // positive entry asks for.
    const std::int32_t interval = SecondsToMs(a);
    if (interval <= 0) {
        return Fail(TSettingsField::Interval, kIntervalMessage);
    }
    const double b = ReadSeconds(input.KeyWaitText);
    if (!(b >= 0 && b <= kMaxSeconds)) {
        return Fail(TSettingsField::KeyWait, kKeyWaitMessage);
    }
    TSettingsCheck check;
    check.Values.TagDirection = input.RadioIndex;
    check.Values.SearchInterval = interval;
    check.Values.KeyWait = SecondsToMs(b) / 1000.0;
    check.Values.MaximizeOnSend = input.Ticked ? 1 : 0;
    return check;
}

std::string MsToSecondsText(std::int32_t ms) {
    return FloatToText(ms / 1000.0);
}

std::string TagNameError(const std::string& name) {
    return name.empty() ? kTagNameMessage : "";
}
