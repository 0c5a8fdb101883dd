#include "jwcad/Launcher.h"

#include "jwcad/JwwWindows.h"
#include "tags/UnitV.h"

std::optional<platform::WindowPlacement> BasePlacement() {
    auto& p = platform::Current();
    platform::WindowPlacement placement;
    if (!p.IsWindow(BaseWindow()) || !p.GetWindowPlacement(BaseWindow(), placement)) {
        return std::nullopt;
    }
    return placement;
}

TLaunchResult Launcher::LaunchTag(int i, const std::string& commandLine) {
    const std::string jump = TagLists[i].TagJump;
    const TLaunchResult launched = LaunchJwcad(commandLine, FolderPart(SplitJumpText(jump).Path));
    if (launched.Created && i < TagCount) {
        TagLists[i].Handle = launched.Window;
        if (launched.Window == 0) {
            lateStarts_[jump] = launched.Pid;  // its window is taken up at the next click
        }
    }
    return launched;
}

bool Launcher::TakeUpLateStart(int i) {
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
