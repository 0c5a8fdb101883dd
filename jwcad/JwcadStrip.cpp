#include "jwcad/JwcadStrip.h"

#include <functional>
#include <optional>

#include "jwcad/JwwWindows.h"
#include "keys/SendKey.h"
#include "tags/Func_.h"
#include "tags/UnitV.h"

namespace {

constexpr char kTagsNotSaved[] = "タグファイルを保存できませんでした。";
constexpr char kSettingsNotSaved[] = "設定ファイルを保存できませんでした。";

// A save at close that fails is the last chance for what it holds: the user hears of it and may
// try again once whatever held the file has let go of it. A session that ends waits for nobody.
void SaveOrAsk(IStrip& strip, const std::function<bool()>& save, const char* text,
               const std::function<std::string()>& blocker, bool sessionEnding) {
    while (!save()) {
        if (sessionEnding) {
            strip.ErrorBox(text, blocker());
            return;
        }
        if (!strip.RetryCancel(text, blocker())) {
            return;
        }
    }
}

}  // namespace

JwcadStrip::Suspension::Suspension(JwcadStrip& s, bool keepOnTop) : s_(s), keepOnTop_(keepOnTop) {
    if (s_.busy_++ == 0) {
        s_.strip_.SetTimer(false, s_.SearchInterval);
    }
}

JwcadStrip::Suspension::~Suspension() {
    if (--s_.busy_ == 0) {
        if (s_.tracking_) {
            s_.strip_.SetTimer(true, s_.SearchInterval);
            if (keepOnTop_) {
                // Whatever the command activated, the strip stays above it.
                s_.strip_.KeepOnTop();
            }
        }
        if (s_.closePending_) {
            s_.closePending_ = false;
            CancelWaits(false);
            s_.strip_.CloseStrip();
        } else {
            s_.ScheduleRescan();  // one the command held back
        }
    }
}

bool JwcadStrip::Ready(TNeed need) const {
    if (busy_ > 0) {
        return false;
    }
    switch (need) {
        case TNeed::Nothing:
            return true;
        case TNeed::Drawing:
            return JwwCount > 0;
        case TNeed::Tags:
            return JwwCount > 0 && HasTags();
        case TNeed::TaggedPath:
            return JwwCount > 0 && HasTags() && !TagLists[0].TagJump.empty();
    }
    return false;
}

TSettingsValues JwcadStrip::Settings() const {
    return TSettingsValues{TagDirection, SearchInterval, KeyWait, MaximizeOnSend};
}

void JwcadStrip::TakeSettings(const TSettingsValues& values) {
    TagDirection = values.TagDirection;
    SearchInterval = values.SearchInterval;
    KeyWait = values.KeyWait;
    MaximizeOnSend = values.MaximizeOnSend;
}

void JwcadStrip::ArrangeControls() {
    TagDirection = strip_.ArrangeControls(TagDirection);
}

void JwcadStrip::Start() {
    const std::string exe = platform::Current().ExecutablePath();
    DatFile = ChangeFileExt(exe, ".dat");
    TagFile = ChangeFileExt(exe, ".tag");
    TbkFile = ChangeFileExt(exe, ".tbk");

    TSettings settings;  // the defaults and the windows' designed geometry
    settingsUnread_ = !LoadSettings(DatFile, settings);
    TakeSettings(settings.Values);
    TargetWindow = 0;
    strip_.ApplyGeometry(settings);
    ArrangeControls();

    {
        // Reading a tag file that another program holds waits with the messages flowing: no
        // click may start a command on a list that is not taken up yet.
        Suspension suspend(*this, false);
        ScanJwwWindows();
        NoteScan();
        TakeUpBaseDrawing();
    }

    tracking_ = true;
    strip_.SetTimer(busy_ == 0, SearchInterval);
}

void JwcadStrip::TakeUpBaseDrawing() {
    ClearTags();
    if (JwwCount == 0) {
        keeper_.Forget();
        strip_.SetTabs({});
        return;
    }
    const TJwwHandleField w = JwwHandles[0];
    SeedTags(w.Handle, w.FileName);
    const std::string folder = GetJwcadFolder();
    const std::string key = UpperSjis(folder + w.FileName);
    const bool named = folder.size() > 1 && platform::Current().FileExists(key);
    keeper_.TakeUp(key, named ? folder + w.FileName : std::string(), w.Handle);
}

void JwcadStrip::Tick() {
    if (!tracking_ || busy_ > 0) {
        return;  // a tick that was already queued when a command started
    }
    Suspension suspend(*this, false);
    std::optional<TJwwHandleField> prev;
    if (JwwCount > 0) {
        prev = JwwHandles[0];
    }
    ScanJwwWindows();
    NoteScan();
    int idx = -1;
    if (prev) {
        for (std::int32_t i = 0; i < JwwCount; ++i) {
            if (JwwHandles[i] == *prev) {
                idx = i;
                break;
            }
        }
    }
    if (idx > 0) {
        // Another Jw_cad window came to the front: the base drawing stays the base drawing.
        SetJwwBase(*prev);
    }
    if (idx >= 0) {
        keeper_.Resolve();
    } else {
        // A list that cannot be stored now stays in hand for the next save.
        keeper_.Save();
        TakeUpBaseDrawing();
    }
}

void JwcadStrip::Finish(bool sessionEnding) {
    tracking_ = false;
    closing_ = true;
    strip_.SetTimer(false, SearchInterval);
    // The saves wait out a lock with the messages flowing, and the boxes are modal: no click
    // may start a command meanwhile.
    ++busy_;
    SaveOrAsk(
        strip_, [this] { return keeper_.Save(); }, kTagsNotSaved,
        [this] { return keeper_.Blocker(); }, sessionEnding);
    ClearJwwHandles();
    ClearTags();

    TSettings settings;
    settings.Values = Settings();
    strip_.CollectGeometry(settings);
    // Settings that could not be read at the start are the user's, not the defaults this run
    // went with: they stay as they are.
    SaveOrAsk(
        strip_, [&] { return settingsUnread_ || SaveSettings(DatFile, settings); },
        kSettingsNotSaved, [this] { return DatFile; }, sessionEnding);
    --busy_;
}

void JwcadStrip::Resize() {
    Suspension suspend(*this, false);
    ArrangeControls();
}

bool JwcadStrip::CanCloseNow() {
    if (closing_) {
        return false;  // already closing, and saving what it must
    }
    if (busy_ > 0) {
        // The command ends at its next wait, which returns at once, and sends nothing more.
        closePending_ = true;
        CancelWaits(true);
        return false;
    }
    return true;
}
