#include <optional>
#include <string>

#include "jwcad/JwcadStrip.h"
#include "jwcad/JwwWindows.h"
#include "jwcad/Launch.h"
#include "jwcad/Texts.h"
#include "keys/SendKey.h"
#include "tags/Func_.h"
#include "tags/UnitV.h"

// The commands of the strip's tabs and buttons. Each checks what it needs first and does
// nothing at all without it; past that, the timer stays stopped until it ends. A button's
// command looks at the desktop again first, so that it works on the drawing Jw_cad shows now; a
// tab does not: it acts on the tab the user saw.

namespace {

constexpr char kPrintScript[] = "@FP{ENTER}";
constexpr char kCopyInfoScript[] = "@FFI";
constexpr char kExitScript[] = "@FX";

constexpr char kConfirmBatch[] = "一括印刷を行うため追加タグの連続起動を行います。よろしいですか？";
constexpr char kBatchDone[] = "各タグの切替をして印刷開始を行って下さい。";
constexpr char kConfirmClose[] = "追加タグで起動したJw_cad画面を閉じます。よろしいですか？";
constexpr char kPrintNotReached[] = "次のタグの図面を印刷モードにできませんでした。";
constexpr char kCloseNotReached[] = "次のタグのJw_cad画面を閉じることができませんでした。";
constexpr char kPathTooLong[] = "パスが長すぎるため、図面を開けません。";
constexpr char kLaunchFailed[] = "Jw_cadを起動できませんでした。";
constexpr char kClipboardTaken[] =
    "クリップボードが他のプログラムに使われたため、図面情報を取り込めませんでした。";
constexpr char kJumpTooLong[] = "図面情報が長すぎるため、タグに取り込めません。";
constexpr char kNotResponding[] = "Jw_cadが応答していないため、キーを送れませんでした。";

enum class TScriptOutcome { Delivered, NotResponding, NotReached };

// Plays a script into window w. A script that never reached its window (the desktop may still
// have been handing the focus to another window) is tried once more. A window that has gone
// counts as done: there is nothing left to send to. A window whose program does not take its
// messages gets nothing: the keys would wait in the input queue and land whenever it wakes up,
// in whatever state it is then.
TScriptOutcome SendScriptTo(platform::WindowHandle w, const char* script) {
    auto& p = platform::Current();
    if (w != 0 && p.IsWindow(w) && p.IsWindowHung(w)) {
        return TScriptOutcome::NotResponding;
    }
    TargetWindow = w;
    TSendOutcome outcome = SendKeysToTarget(script);
    if (outcome == TSendOutcome::NotReached) {
        outcome = SendKeysToTarget(script);
    }
    return outcome == TSendOutcome::Sent || outcome == TSendOutcome::NoTarget
               ? TScriptOutcome::Delivered
               : TScriptOutcome::NotReached;
}

// Whether the text names the drawing only past its first blank: "C:\My Docs\detail.jww /p"
// for detail.jww, the blank in a folder's name. Compared in capitals, at character boundaries.
bool NamesDrawingAfterABlank(const std::string& text, const std::string& fileName) {
    const std::string upper = UpperSjis(text);
    const std::string cut = upper.substr(0, upper.find(' '));
    if (cut.size() >= 4 && cut.compare(cut.size() - 4, 4, ".JWW") == 0) {
        return false;  // a whole drawing's path before the blank: another drawing's text
    }
    std::string name(1, '\\');
    name += UpperSjis(fileName);
    const std::size_t blank = text.find(' ');
    for (std::size_t at = upper.find(name, blank); at != std::string::npos;
         at = upper.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if (end == upper.size() || upper[end] == ' ') {
            // A match must not begin inside a double-byte character ("\" as a trail byte).
            if (IsCharStart(upper, at)) {
                return true;
            }
        }
    }
    return false;
}

// One line per tag that a batch could not reach: its name and its drawing.
void ListTag(std::string& list, const TTagLists& tag) {
    list += "\r\n" + tag.TagName + ": " + SplitJumpText(tag.TagJump).Path;
}

// A tag's new window stands where the base window stands; the base tab's own does not.
void PlaceLikeBase(int i, platform::WindowHandle w) {
    if (i == 0 || w == 0) {
        return;
    }
    if (const std::optional<platform::WindowPlacement> placement = BasePlacement()) {
        ApplyPlacement(w, *placement);
    }
}

}  // namespace

bool JwcadStrip::JumpTo(int i) {
    if (!Ready(TNeed::Tags) || i < 0 || i >= TagCount) {
        return false;
    }
    Suspension suspend(*this);
    auto& p = platform::Current();
    // Not resolved first: the stored tags would go in front of the one the user clicked.
    const std::string jump = TagLists[i].TagJump;
    const std::string path = SplitJumpText(jump).Path;

    const platform::WindowHandle h = TagLists[i].Handle;
    if (h != 0 && p.IsWindow(h)) {
        ActivateWindow(h);
        return true;
    }
    if (h != 0) {
        TagLists[i].Handle = 0;
    }
    if (launcher_.TakeUpLateStart(i)) {
        if (TagLists[i].Handle != 0) {
            PlaceLikeBase(i, TagLists[i].Handle);
            ActivateWindow(TagLists[i].Handle);
        }
        return true;  // else still starting: a second click must not start it twice
    }
    if (!PathFitsPlatform(path)) {
        strip_.ErrorBox(kPathTooLong, path);
        return false;
    }
    if (!p.FileExists(path)) {
        strip_.ErrorBox(kFileNotFound, path);
        return false;
    }
    const TLaunchResult launched =
        launcher_.LaunchTag(i, JwcadCommandPrefix(p.FindExecutable(path)) + jump);
    if (!launched.Created) {
        if (!WaitsCancelled()) {
            strip_.ErrorBox(kLaunchFailed, path);
        }
        return false;
    }
    if (i < TagCount) {  // else the list changed during the launch; it started all the same
        PlaceLikeBase(i, launched.Window);
    }
    return true;
}

void JwcadStrip::Quit() {
    if (CanCloseNow()) {
        strip_.CloseStrip();
    }
}

void JwcadStrip::OpenSettings() {
    if (!Ready(TNeed::Nothing)) {
        return;
    }
    Suspension suspend(*this);
    TSettingsValues values = Settings();
    if (strip_.EditSettings(values)) {
        TakeSettings(values);
        ArrangeControls();
        settingsUnread_ = false;  // the user's own choice now
    }
}

void JwcadStrip::Print() {
    RescanIfStale();
    if (!Ready(TNeed::Drawing)) {
        return;
    }
    Suspension suspend(*this);
    keeper_.Resolve();
    if (SendScriptTo(BaseWindow(), kPrintScript) == TScriptOutcome::NotResponding) {
        strip_.ErrorBox(kNotResponding);
    }
}

std::optional<std::string> JwcadStrip::CopyDrawingInfo() {
    if (platform::Current().IsWindowHung(BaseWindow())) {
        strip_.ErrorBox(kNotResponding);
        return std::nullopt;  // before the clipboard is emptied: nothing of the user's is touched
    }
    std::string text;
    try {
        ClearClipboardText();
        SendScriptTo(BaseWindow(), kCopyInfoScript);
        if (WaitsCancelled()) {
            return std::nullopt;
        }
        strip_.KeepOnTop();
        Delay(500);
        text = ReadClipboardText();
        if (text.find(' ') == std::string::npos) {
            Delay(1000);
            text = ReadClipboardText();
        }
    } catch (const ClipboardError& e) {
        strip_.ErrorBox(e.what());
        return std::nullopt;
    }
    if (text.find(' ') == std::string::npos) {
        // We emptied the clipboard, and Jw_cad's text always holds a blank: any other text is
        // another program's, written over or before Jw_cad's copy.
        if (!text.empty()) {
            strip_.ErrorBox(kClipboardTaken);
        }
        return std::nullopt;
    }
    if (!JumpFitsCommandLine(text)) {
        strip_.ErrorBox(kJumpTooLong);
        return std::nullopt;  // no Jw_cad could ever be started on it
    }
    return text;
}

void JwcadStrip::Import() {
    RescanIfStale();
    if (!Ready(TNeed::Drawing)) {
        return;
    }
    Suspension suspend(*this);
    keeper_.Resolve();
    const std::string baseName = JwwHandles[0].FileName;
    const std::optional<std::string> text = CopyDrawingInfo();
    if (!text) {
        return;
    }
    const std::string path = SplitJumpText(*text).Path;
    if (UpperSjis(baseName) != UpperSjis(FileNamePart(path))) {
        // The path was cut at a blank of its own folder: such a drawing cannot be jumped to.
        if (NamesDrawingAfterABlank(*text, baseName)) {
            strip_.ErrorBox(kBlankInPath, *text);
        }
        return;  // the clipboard describes another drawing
    }
    // Jw_cad's last folder may have named another folder when the drawing was taken up. A
    // block stored under its real path comes first, so saving this list does not replace it.
    if (TagLists[0].TagJump.empty() && keeper_.TakeUpStoredBlock(UpperSjis(path))) {
        ShowTagTabs(strip_);
    }
    std::string name = std::to_string(TagCount);
    if (WaitsCancelled() || !strip_.AskTagName(name)) {
        return;
    }
    AppendTag(name, *text);
    SetBaseJumpIfEmpty(path);
    strip_.AddTab(TagLists.back().TagName);
    // At once, not when the drawing goes: a strip killed or a machine that loses power keeps
    // it. A save that fails keeps the list in hand for the next one.
    keeper_.Save();
}

void JwcadStrip::EditTags() {
    RescanIfStale();
    if (!Ready(TNeed::Drawing)) {
        return;
    }
    Suspension suspend(*this);
    keeper_.Resolve();
    if (!strip_.EditTagList()) {
        return;
    }
    ShowTagTabs(strip_);
    if (HasTags() && TagLists[0].TagJump.empty()) {
        const std::string p = SplitJumpText(TagLists[1].TagJump).Path;
        if (!p.empty() && platform::Current().FileExists(p)) {
            SetBaseJumpIfEmpty(p);
        }
    }
    keeper_.Save();
}

platform::WindowHandle JwcadStrip::PrintWindowFor(
    int i, const std::string& prefix, const std::optional<platform::WindowPlacement>& placement,
    std::string& missed) {
    platform::WindowHandle h = TagLists[i].Handle;
    if (h != 0 && !platform::Current().IsWindow(h)) {
        TagLists[i].Handle = 0;
        h = 0;
    }
    if (h != 0) {
        return h;
    }
    if (launcher_.TakeUpLateStart(i)) {
        h = TagLists[i].Handle;
        if (h == 0) {
            ListTag(missed, TagLists[i]);  // still starting: not in print mode yet
        } else if (placement) {
            ApplyPlacement(h, *placement);
        }
        return h;
    }
    const TJumpParts parts = SplitJumpText(TagLists[i].TagJump);
    const TLaunchResult launched =
        launcher_.LaunchTag(i, prefix + parts.Path + " " + parts.Arguments);
    if (placement && launched.Window != 0) {
        ApplyPlacement(launched.Window, *placement);
    }
    if (launched.Window == 0 && !WaitsCancelled()) {
        // Not started, or no window came: this drawing is not in print mode either.
        ListTag(missed, TagLists[i]);
    }
    return launched.Window;
}

void JwcadStrip::BatchPrint() {
    RescanIfStale();
    if (!Ready(TNeed::TaggedPath)) {
        return;
    }
    Suspension suspend(*this);
    keeper_.Resolve();
    if (!strip_.ConfirmYesNo(kConfirmBatch)) {
        return;
    }
    const std::string prefix =
        JwcadCommandPrefix(platform::Current().FindExecutable(TagLists[0].TagJump));
    const std::optional<platform::WindowPlacement> placement = BasePlacement();
    std::string missed;
    for (std::int32_t i = 1; i < TagCount; ++i) {
        if (WaitsCancelled()) {
            return;  // closing: no more Jw_cad started, no box to answer
        }
        const platform::WindowHandle h = PrintWindowFor(i, prefix, placement, missed);
        if (h != 0 && SendScriptTo(h, kPrintScript) != TScriptOutcome::Delivered &&
            !WaitsCancelled()) {
            ListTag(missed, TagLists[i]);
        }
    }
    if (WaitsCancelled()) {
        return;
    }
    strip_.KeepOnTop();
    if (!missed.empty()) {
        strip_.ErrorBox(kPrintNotReached, missed);
    }
    strip_.InfoOk(kBatchDone);
}

void JwcadStrip::CloseLaunched() {
    RescanIfStale();
    if (!Ready(TNeed::Tags)) {
        return;
    }
    Suspension suspend(*this);
    keeper_.Resolve();
    if (!strip_.ConfirmYesNo(kConfirmClose)) {
        return;
    }
    std::string missed;
    for (std::int32_t i = 1; i < TagCount; ++i) {
        if (WaitsCancelled()) {
            return;
        }
        if (TagLists[i].Handle != 0 &&
            SendScriptTo(TagLists[i].Handle, kExitScript) != TScriptOutcome::Delivered &&
            !WaitsCancelled()) {
            ListTag(missed, TagLists[i]);
        }
    }
    if (!missed.empty()) {
        strip_.KeepOnTop();
        strip_.ErrorBox(kCloseNotReached, missed);
    }
}
