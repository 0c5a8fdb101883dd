#include "jwcad/TagTip.h"

#include "keys/SendKey.h"
#include "platform/Platform.h"
#include "tags/UnitV.h"

namespace {

constexpr char kDrawingMissing[] = "※ファイルが見つかりません";

}  // namespace

std::optional<TTagTip> TagTip(int index) {
    if (index < 0 || index >= TagCount) {
        return std::nullopt;
    }
    const std::string& jump = TagLists[index].TagJump;
    if (index == 0 && jump.empty()) {
        // Only the title's name is known until the drawing's folder is: no path to look for.
        return TTagTip{JwwCount > 0 ? JwwHandles[0].FileName : TagLists[0].TagName};
    }
    TTagTip tip{jump};
    // A jump starts Jw_cad only on a path that names a file: say so before the click does.
    const std::string path = SplitJumpText(jump).Path;
    if (path.empty() || !platform::Current().FileExists(path)) {
        tip.NoteUtf8 = kDrawingMissing;
    }
    return tip;
}
