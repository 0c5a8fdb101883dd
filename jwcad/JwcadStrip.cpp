#include "jwcad/JwcadStrip.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "jwcad/JwwWindows.h"
#include "jwcad/Launch.h"
#include "keys/SendKey.h"
#include "tags/Func_.h"
#include "tags/TagFile.h"
#include "tags/UnitV.h"

namespace {

constexpr char kPrintScript[] = "@FP{ENTER}";
constexpr char kCopyInfoScript[] = "@FFI";
constexpr char kExitScript[] = "@FX";

constexpr char kFileNotFound[] = "指定したファイルが見つかりませんでした。";
constexpr char kConfirmBatch[] = "一括印刷を行うため追加タグの連続起動を行います。よろしいですか？";
constexpr char kBatchDone[] = "各タグの切替をして印刷開始を行って下さい。";
constexpr char kConfirmClose[] = "追加タグで起動したJw_cad画面を閉じます。よろしいですか？";
constexpr char kPrintNotReached[] = "次のタグの図面を印刷モードにできませんでした。";
constexpr char kCloseNotReached[] = "次のタグのJw_cad画面を閉じることができませんでした。";
constexpr char kTagsNotSaved[] = "タグファイルを保存できませんでした。";
constexpr char kSettingsNotSaved[] = "設定ファイルを保存できませんでした。";
constexpr char kPathTooLong[] = "パスが長すぎるため、図面を開けません。";
constexpr char kLaunchFailed[] = "Jw_cadを起動できませんでした。";
constexpr char kClipboardTaken[] =
    "クリップボードが他のプログラムに使われたため、図面情報を取り込めませんでした。";
constexpr char kBlankInPath[] = "図面のパスに空白が含まれているため、タグに取り込めません。";
constexpr char kJumpTooLong[] = "図面情報が長すぎるため、タグに取り込めません。";
constexpr char kNotResponding[] = "Jw_cadが応答していないため、キーを送れませんでした。";
constexpr char kTagFileForeign[] =
    "タグファイルがUTF-16で保存されているため、読み書きできません。"
    "Shift-JIS（ANSI）で保存し直して下さい。";

platform::WindowHandle BaseWindow() {
    return JwwCount > 0 ? JwwHandles[0].Handle : 0;
}

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
        }
    }
}

void JwcadStrip::RebuildTabs() {
    std::vector<std::string> captions;
    captions.reserve(TagLists.size());
    for (const TTagLists& tag : TagLists) {
        captions.push_back(tag.TagName);
    }
    strip_.SetTabs(captions);
}

void JwcadStrip::ArrangeControls() {
    TagDirection = strip_.ArrangeControls(TagDirection);
}

void JwcadStrip::TellForeign(TBlockLookup lookup) {
    if (lookup == TBlockLookup::Foreign && !toldForeign_) {
        toldForeign_ = true;
        strip_.ErrorBox(kTagFileForeign, TagFile);
    }
}

void JwcadStrip::ResolveBaseBlock() {
    if (!baseUnknown_ || TagLists.empty()) {
        return;
    }
    std::vector<TTagLists> stored;
    const TBlockLookup lookup = FindTagBlock(TagFile, TbkFile, baseKey_, stored);
    TellForeign(lookup);
    if (lookup == TBlockLookup::Unreadable || lookup == TBlockLookup::Foreign) {
        return;  // still unknown: the next tick or command tries again
    }
    baseUnknown_ = false;
    const bool added = HasTags();
    if (lookup == TBlockLookup::Found) {
        stored[0].Handle = TagLists[0].Handle;
        stored.insert(stored.end(), TagLists.begin() + 1, TagLists.end());
        ReplaceTags(std::move(stored));
        RebuildTabs();
    }
    if (added) {
        SaveTags();  // the tags added meanwhile were to be saved when they were added
    }
}

bool JwcadStrip::ResolveBlock(TTagBlock& block) {
    if (!block.Partial) {
        return true;
    }
    std::vector<TTagLists> stored;
    const TBlockLookup lookup = FindTagBlock(TagFile, TbkFile, block.Key, stored);
    if (lookup == TBlockLookup::Unreadable || lookup == TBlockLookup::Foreign) {
        return false;
    }
    if (lookup == TBlockLookup::Found) {
        stored.insert(stored.end(), block.Entries.begin() + 1, block.Entries.end());
        block.Entries = std::move(stored);
    }
    block.Partial = false;
    return true;
}

bool JwcadStrip::SaveTags() {
    ResolveBaseBlock();
    std::vector<TTagBlock> blocks;
    if (HasTags()) {
        blocks.push_back(CurrentTagBlock(baseKey_));
        // Tags added before the drawing's path became known are stored under the key they
        // will be looked up under, never under an empty one. The list in hand keeps its empty
        // path: an import may still reveal the drawing's real one.
        if (TTagLists& base = blocks.back().Entries[0];
            base.TagJump.empty() && !basePath_.empty()) {
            base.TagJump = basePath_;
        }
        blocks.back().Partial = baseUnknown_;
        savedKey_ = blocks.back().Key;
    }
    for (const std::string& key : retracted_) {
        TTagBlock gone;
        gone.Key = key;
        gone.Removed = true;
        blocks.push_back(gone);
    }
    for (const TTagBlock& b : unsaved_) {
        if (std::none_of(blocks.begin(), blocks.end(),
                         [&](const TTagBlock& kept) { return kept.Key == b.Key; })) {
            blocks.push_back(b);
        }
    }
    // A block that still cannot be read keeps the whole save back: the file it would be
    // written into is the one that cannot be read.
    bool resolved = true;
    for (TTagBlock& b : blocks) {
        resolved = ResolveBlock(b) && resolved;
    }
    if (blocks.empty()) {
        return true;
    }
    blocker_ = TagFile;
    if (resolved && SaveTagBlocks(TagFile, TbkFile, blocks, &blocker_)) {
        unsaved_.clear();
        retracted_.clear();
        return true;
    }
    std::erase_if(blocks, [](const TTagBlock& b) { return b.Removed; });
    unsaved_ = std::move(blocks);
    return false;
}

bool JwcadStrip::TakeUpUnsaved(const std::string& key) {
    const auto it = std::find_if(unsaved_.begin(), unsaved_.end(),
                                 [&](const TTagBlock& b) { return b.Key == key; });
    if (it == unsaved_.end()) {
        return false;
    }
    for (TTagLists& entry : it->Entries) {
        entry.Handle = 0;  // as a load gives them
    }
    ReplaceTags(std::move(it->Entries));
    baseUnknown_ = it->Partial;
    unsaved_.erase(it);
    return true;
}

void JwcadStrip::RetractSavedBlock() {
    if (!savedKey_.empty() && savedKey_ == baseKey_ && !baseKeyHadBlock_) {
        retracted_.push_back(savedKey_);
    }
    savedKey_.clear();
}

bool JwcadStrip::TakeUpStoredBlock(const std::string& key) {
    if (key == baseKey_) {
        return false;  // looked up when the drawing was taken up
    }
    const std::vector<TTagLists> inHand = TagLists;
    std::vector<TTagLists> stored;
    if (TakeUpUnsaved(key)) {
        stored = TagLists;
    } else {
        const TBlockLookup lookup = FindTagBlock(TagFile, TbkFile, key, stored);
        TellForeign(lookup);
        if (lookup == TBlockLookup::Unreadable || lookup == TBlockLookup::Foreign) {
            // Whatever is stored under the real path is unknown: the tags in hand go after it
            // once it can be read.
            RetractSavedBlock();
            baseKey_ = key;
            baseUnknown_ = true;
        }
        if (lookup != TBlockLookup::Found) {
            return false;
        }
    }
    stored[0].Handle = inHand[0].Handle;
    stored.insert(stored.end(), inHand.begin() + 1, inHand.end());
    ReplaceTags(std::move(stored));
    RetractSavedBlock();
    baseKey_ = key;
    return true;
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

// ---- Base drawing tracking -----------------------------------------------------------------

void JwcadStrip::Start() {
    const std::string exe = platform::Current().ExecutablePath();
    DatFile = ChangeFileExt(exe, ".dat");
    TagFile = ChangeFileExt(exe, ".tag");
    TbkFile = ChangeFileExt(exe, ".tbk");

    TSettings settings;  // the defaults and the windows' designed geometry
    if (platform::Current().FileExists(DatFile)) {
        settingsUnread_ = !LoadSettings(DatFile, settings);
    }
    TakeSettings(settings.Values);
    TargetWindow = 0;
    strip_.ApplyGeometry(settings);
    ArrangeControls();

    {
        // Reading a tag file that another program holds waits with the messages flowing: no
        // click may start a command on a list that is not taken up yet.
        Suspension suspend(*this, false);
        ScanJwwWindows();
        TakeUpBaseDrawing();
    }

    tracking_ = true;
    strip_.SetTimer(busy_ == 0, SearchInterval);
}

void JwcadStrip::TakeUpBaseDrawing() {
    ClearTags();
    baseKey_.clear();
    basePath_.clear();
    baseUnknown_ = false;
    baseKeyHadBlock_ = false;
    savedKey_.clear();
    if (JwwCount == 0) {
        strip_.SetTabs({});
        return;
    }
    const TJwwHandleField w = JwwHandles[0];
    SeedTags(w.Handle, w.FileName);
    const std::string folder = GetJwcadFolder();
    const std::string key = UpperSjis(folder + w.FileName);
    auto& p = platform::Current();
    baseKey_ = key;
    basePath_ = folder.size() > 1 && p.FileExists(key) ? folder + w.FileName : std::string();
    // A list that an earlier save could not store is newer than the stored block.
    if (TakeUpUnsaved(key)) {
        TagLists[0].Handle = w.Handle;
        RebuildTabs();
        ResolveBaseBlock();
        return;
    }
    std::vector<TTagLists> stored;
    const TBlockLookup lookup =
        p.FileExists(key) ? FindTagBlock(TagFile, TbkFile, key, stored) : TBlockLookup::None;
    TellForeign(lookup);
    if (lookup == TBlockLookup::Found) {
        baseKeyHadBlock_ = true;
        stored[0].Handle = w.Handle;
        ReplaceTags(std::move(stored));
        RebuildTabs();
    } else {
        // A file that could not be read hides the block, it does not show there is none.
        baseUnknown_ = lookup != TBlockLookup::None;
        strip_.SetTabs({w.FileName});
    }
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
        ResolveBaseBlock();
    } else {
        // A list that cannot be stored now stays in hand for the next save.
        SaveTags();
        TakeUpBaseDrawing();
    }
}

void JwcadStrip::Finish(bool sessionEnding) {
    tracking_ = false;
    closing_ = true;
    strip_.SetTimer(false, SearchInterval);
    // The saves wait out a lock with the messages flowing, and the boxes below are modal: no
    // click may start a command meanwhile.
    ++busy_;
    // The last chance for these tags: the user must hear when they are lost, and may try again
    // once whatever held the file has let go of it.
    while (!SaveTags()) {
        if (sessionEnding) {
            strip_.ErrorBox(kTagsNotSaved, blocker_);
            break;
        }
        if (!strip_.RetryCancel(kTagsNotSaved, blocker_)) {
            break;
        }
    }
    ClearJwwHandles();
    ClearTags();

    TSettings settings;
    settings.Values = Settings();
    strip_.CollectGeometry(settings);
    // Settings that could not be read at the start are the user's, not the defaults this run
    // went with: they stay as they are.
    while (!settingsUnread_ && !SaveSettings(DatFile, settings)) {
        if (sessionEnding) {
            strip_.ErrorBox(kSettingsNotSaved, DatFile);
            break;
        }
        if (!strip_.RetryCancel(kSettingsNotSaved, DatFile)) {
            break;
        }
    }
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

// ---- Tag jump ------------------------------------------------------------------------------

void JwcadStrip::PlaceLikeBase(int i, platform::WindowHandle w) {
    auto& p = platform::Current();
    const platform::WindowHandle base = BaseWindow();
    if (i != 0 && w != 0 && p.IsWindow(base)) {
        platform::WindowPlacement placement;
        if (p.GetWindowPlacement(base, placement)) {
            ApplyPlacement(w, placement);
        }
    }
}

bool JwcadStrip::TakeUpLateStart(int i) {
    const auto it = lateStarts_.find(TagLists[i].TagJump);
    if (it == lateStarts_.end()) {
        return false;
    }
    const platform::WindowHandle w = FindProcessWindow(it->second);
    if (w != 0) {
        lateStarts_.erase(it);
        TagLists[i].Handle = w;
        return true;
    }
    if (platform::Current().IsProcessRunning(it->second)) {
        return true;
    }
    lateStarts_.erase(it);  // it ended without a window: start anew
    return false;
}

bool JwcadStrip::JumpTo(int i) {
    if (busy_ > 0 || JwwCount == 0 || i < 0 || TagCount <= 1 || i + 1 > TagCount) {
        return false;
    }
    Suspension suspend(*this);
    auto& p = platform::Current();
    const std::string jump = TagLists[i].TagJump;
    // Not resolved here: the stored tags would go in front of the one the user clicked.
    const std::string path = SplitJumpText(jump).Path;

    const platform::WindowHandle h = TagLists[i].Handle;
    if (h != 0 && p.IsWindow(h)) {
        ActivateWindow(h);
        return true;
    }
    if (h != 0) {
        TagLists[i].Handle = 0;
    }
    if (TakeUpLateStart(i)) {
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
    const std::string commandLine = JwcadCommandPrefix(p.FindExecutable(path)) + jump;
    const TLaunchResult launched = LaunchJwcad(commandLine, FolderPart(path));
    if (!launched.Created) {
        if (!WaitsCancelled()) {
            strip_.ErrorBox(kLaunchFailed, path);
        }
        return false;
    }
    if (i >= TagCount) {
        return true;  // the list changed during the launch; the drawing started all the same
    }
    TagLists[i].Handle = launched.Window;
    if (launched.Window == 0) {
        lateStarts_[jump] = launched.Pid;  // its window is taken up at the next click
        return true;
    }
    PlaceLikeBase(i, launched.Window);
    return true;
}

// ---- Buttons -------------------------------------------------------------------------------

void JwcadStrip::Quit() {
    if (CanCloseNow()) {
        strip_.CloseStrip();
    }
}

void JwcadStrip::OpenSettings() {
    if (busy_ > 0) {
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
    if (busy_ > 0 || JwwCount <= 0) {
        return;
    }
    Suspension suspend(*this);
    ResolveBaseBlock();
    if (SendScriptTo(BaseWindow(), kPrintScript) == TScriptOutcome::NotResponding) {
        strip_.ErrorBox(kNotResponding);
    }
}

void JwcadStrip::Import() {
    if (busy_ > 0 || JwwCount <= 0) {
        return;
    }
    Suspension suspend(*this);
    ResolveBaseBlock();
    if (platform::Current().IsWindowHung(BaseWindow())) {
        strip_.ErrorBox(kNotResponding);
        return;  // before the clipboard is emptied: nothing of the user's is touched
    }
    const std::string baseName = JwwHandles[0].FileName;
    std::string text;
    try {
        ClearClipboardText();
        SendScriptTo(BaseWindow(), kCopyInfoScript);
        if (WaitsCancelled()) {
            return;
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
        return;
    }
    if (text.find(' ') == std::string::npos) {
        // We emptied the clipboard, and Jw_cad's text always holds a blank: any other text is
        // another program's, written over or before Jw_cad's copy.
        if (!text.empty()) {
            strip_.ErrorBox(kClipboardTaken);
        }
        return;
    }
    if (!JumpFitsCommandLine(text)) {
        strip_.ErrorBox(kJumpTooLong);
        return;  // no Jw_cad could ever be started on it
    }
    const std::string path = SplitJumpText(text).Path;
    if (UpperSjis(baseName) != UpperSjis(FileNamePart(path))) {
        // The path was cut at a blank of its own folder: such a drawing cannot be jumped to.
        if (NamesDrawingAfterABlank(text, baseName)) {
            strip_.ErrorBox(kBlankInPath, text);
        }
        return;  // the clipboard describes another drawing
    }
    // Jw_cad's last folder may have named another folder when the drawing was taken up. A
    // block stored under its real path comes first, so saving this list does not replace it.
    if (TagLists[0].TagJump.empty() && TakeUpStoredBlock(UpperSjis(path))) {
        RebuildTabs();
    }
    std::string name = std::to_string(TagCount);
    if (WaitsCancelled() || !strip_.AskTagName(name)) {
        return;
    }
    AppendTag(name, text);
    SetBaseJumpIfEmpty(path);
    strip_.AddTab(TagLists.back().TagName);
    // At once, not when the drawing goes: a strip killed or a machine that loses power keeps
    // it. A save that fails keeps the list in hand for the next one.
    SaveTags();
}

void JwcadStrip::EditTags() {
    if (busy_ > 0 || JwwCount <= 0) {
        return;
    }
    Suspension suspend(*this);
    ResolveBaseBlock();
    if (!strip_.EditTagList()) {
        return;
    }
    RebuildTabs();
    if (HasTags() && TagLists[0].TagJump.empty()) {
        const std::string p = SplitJumpText(TagLists[1].TagJump).Path;
        if (!p.empty() && platform::Current().FileExists(p)) {
            SetBaseJumpIfEmpty(p);
        }
    }
    SaveTags();
}

void JwcadStrip::BatchPrint() {
    if (busy_ > 0 || JwwCount <= 0 || !HasTags() || TagLists[0].TagJump.empty()) {
        return;
    }
    Suspension suspend(*this);
    ResolveBaseBlock();
    if (!strip_.ConfirmYesNo(kConfirmBatch)) {
        return;
    }
    auto& p = platform::Current();
    const std::string prefix = JwcadCommandPrefix(p.FindExecutable(TagLists[0].TagJump));
    std::optional<platform::WindowPlacement> placement;
    if (p.IsWindow(BaseWindow())) {
        platform::WindowPlacement read;
        if (p.GetWindowPlacement(BaseWindow(), read)) {
            placement = read;
        }
    }
    std::string missed;
    for (std::int32_t i = 1; i < TagCount; ++i) {
        if (WaitsCancelled()) {
            return;  // closing: no more Jw_cad started, no box to answer
        }
        platform::WindowHandle h = TagLists[i].Handle;
        if (h != 0 && !p.IsWindow(h)) {
            TagLists[i].Handle = 0;
            h = 0;
        }
        if (h == 0 && TakeUpLateStart(i)) {
            h = TagLists[i].Handle;
            if (h != 0 && placement) {
                ApplyPlacement(h, *placement);
            }
            if (h == 0) {
                ListTag(missed, TagLists[i]);  // still starting: not in print mode yet
                continue;
            }
        }
        if (h == 0) {
            const TJumpParts parts = SplitJumpText(TagLists[i].TagJump);
            const TLaunchResult launched =
                LaunchJwcad(prefix + parts.Path + " " + parts.Arguments, FolderPart(parts.Path));
            if (launched.Created) {
                TagLists[i].Handle = launched.Window;
                if (launched.Window == 0) {
                    lateStarts_[TagLists[i].TagJump] = launched.Pid;
                }
                if (placement && launched.Window != 0) {
                    ApplyPlacement(launched.Window, *placement);
                }
                h = launched.Window;
            }
            if (h == 0 && !WaitsCancelled()) {
                // Not started, or no window came: this drawing is not in print mode either.
                ListTag(missed, TagLists[i]);
                continue;
            }
        }
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
    if (busy_ > 0 || JwwCount <= 0 || !HasTags()) {
        return;
    }
    Suspension suspend(*this);
    ResolveBaseBlock();
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
