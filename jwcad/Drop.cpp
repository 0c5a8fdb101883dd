#include <string>
#include <vector>

#include "jwcad/JwcadStrip.h"
#include "jwcad/JwwWindows.h"
#include "jwcad/Launch.h"
#include "jwcad/Texts.h"
#include "keys/SendKey.h"
#include "tags/Func_.h"
#include "tags/UnitV.h"

// Drawings dropped onto the strip become tags of the base drawing, each named in the tag name
// dialog, as an import's would be; whatever a jump could never open is refused first.

namespace {

constexpr char kDropWhileBusy[] = "他の操作を実行中のため、図面を取り込めません。";
constexpr char kDropWithoutDrawing[] = "Jw_cadの図面が開かれていないため、図面を取り込めません。";
constexpr char kFolderDropped[] = "フォルダはタグに取り込めません。";
constexpr char kNotADrawing[] = "Jw_cadの図面（.jww、.jwc）ではないため、タグに取り込めません。";
constexpr char kPathNotSjis[] =
    "図面のパスに使えない文字が含まれているため、タグに取り込めません。";
constexpr char kDroppedPathTooLong[] = "パスが長すぎるため、タグに取り込めません。";

bool IsDrawingFile(const std::string& path) {
    const std::size_t dot = ExtensionStart(path);
    if (dot == std::string::npos) {
        return false;
    }
    const std::string extension = UpperSjis(path.substr(dot));
    return extension == ".JWW" || extension == ".JWC";
}

// Why a dropped item cannot become a tag; nullptr when it can. The path of a jump text ends at
// its first blank, and Jw_cad is started on it by a command line of limited length.
const char* DropRefusal(const TDroppedFile& f) {
    if (!f.Representable) {
        return kPathNotSjis;
    }
    if (f.Folder) {
        return kFolderDropped;
    }
    if (!IsDrawingFile(f.Path)) {
        return kNotADrawing;
    }
    if (f.Path.find(' ') != std::string::npos) {
        return kBlankInPath;
    }
    if (!PathFitsPlatform(f.Path) || !JumpFitsCommandLine(f.Path)) {
        return kDroppedPathTooLong;
    }
    if (!platform::Current().FileExists(f.Path)) {
        return kFileNotFound;
    }
    return nullptr;
}

// What a user expects to call a drawing: its file name without the extension.
std::string ProposedTagName(const std::string& path) {
    std::string name = FileNamePart(path);
    const std::size_t dot = ExtensionStart(name);
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    int taken = 0;
    return MbcsCopy(name, 1, kMaxTagNameBytes, taken);
}

}  // namespace

void JwcadStrip::DropFiles(const std::vector<TDroppedFile>& files) {
    if (files.empty()) {
        return;
    }
    if (busy_ > 0) {
        strip_.ErrorBox(kDropWhileBusy);
        return;
    }
    if (JwwCount == 0) {
        strip_.ErrorBox(kDropWithoutDrawing);
        return;
    }
    Suspension suspend(*this);
    keeper_.Resolve();
    bool added = false;
    for (const TDroppedFile& f : files) {
        if (WaitsCancelled()) {
            break;
        }
        if (const char* refusal = DropRefusal(f)) {
            strip_.ErrorBox(refusal, f.Path);
            continue;
        }
        // Cancel ends the drop: a user who dropped many files by mistake answers once.
        std::string name = ProposedTagName(f.Path);
        if (!strip_.AskTagName(name)) {
            break;
        }
        AppendTag(name, f.Path);
        strip_.AddTab(TagLists.back().TagName);
        added = true;
    }
    if (added) {
        // As an import's tag: at once, and once for the whole drop.
        keeper_.Save();
    }
}
