#include "jwcad/JwwWindows.h"

#include "keys/SendKey.h"
#include "tags/Func_.h"

platform::WindowHandle ProcessWindow = 0;

namespace {

constexpr char kMarker[] = " - jw_win";
constexpr char kUntitled[] = "\x96\xb3\x91\xe8";  // 無題 in Shift-JIS
constexpr int kTitleBuffer = 255;                 // GetWindowTextA's count, zero included

// Position of the last "\" or ":" (or, with dots, ".") that is a character of its own, or npos.
std::size_t LastSeparator(const std::string& s, bool dots) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < s.size(); i += CharWidthAt(s, i)) {
        const char c = s[i];
        if (c == '\\' || c == ':' || (dots && c == '.')) {
            found = i;
        }
    }
    return found;
}

}  // namespace

std::optional<std::string> JwwFileNameFromTitle(const std::string& title) {
    std::size_t marker = title.find(kMarker);
    if (marker == std::string::npos) {
        return std::nullopt;
    }
    std::string name = title.substr(0, marker);
    if (name == kUntitled) {
        return std::nullopt;
    }
    const std::size_t dot = ExtensionStart(name);
    if (dot == std::string::npos || UpperSjis(name.substr(dot)) != ".JWW") {
        return std::nullopt;
    }
    return name;
}

bool EnumJwwProc(platform::WindowHandle w, long /*param*/) {
    auto& p = platform::Current();
    // The title rules out nearly every window of a desktop, in one request to the window
    // system; owner and visibility cost one or two more each. So the title first, and the
    // other two only for a window whose title is a drawing's.
    std::string title = p.GetWindowText(w, kTitleBuffer);
    if (const std::size_t zero = title.find('\0'); zero != std::string::npos) {
        title.resize(zero);
    }
    std::optional<std::string> name = JwwFileNameFromTitle(title);
    if (!name || p.GetOwner(w) != 0 || !p.IsWindowVisible(w)) {
        return true;
    }
    AddJwwHandle({w, std::move(*name)});
    return true;
}

platform::WindowHandle BaseWindow() {
    return JwwCount > 0 ? JwwHandles[0].Handle : 0;
}

void ScanJwwWindows() {
    ClearJwwHandles();
    platform::Current().EnumWindows([](platform::WindowHandle w) { return EnumJwwProc(w, 0); });
}

bool EnumProcessProc(platform::WindowHandle w, platform::ProcessId pid) {
    auto& p = platform::Current();
    if (p.GetOwner(w) != 0 || !p.IsWindowVisible(w)) {
        return true;
    }
    if (p.GetWindowProcessId(w) == pid) {
        ProcessWindow = w;
        return false;
    }
    return true;
}

platform::WindowHandle FindProcessWindow(platform::ProcessId pid) {
    ProcessWindow = 0;
    platform::Current().EnumWindows(
        [pid](platform::WindowHandle w) { return EnumProcessProc(w, pid); });
    return ProcessWindow;
}

std::string GetJwcadFolder() {
    std::string folder;
    switch (platform::Current().ReadUserString("SOFTWARE\\Jw_cad\\jw_win\\", "Folder", "File",
                                               folder)) {
        case platform::RegistryRead::Ok:
            return folder + "\\";
        case platform::RegistryRead::Missing:
            return "\\";
        case platform::RegistryRead::Error:
            break;
    }
    return {};
}

std::size_t ExtensionStart(const std::string& path) {
    const std::size_t sep = LastSeparator(path, true);
    return sep != std::string::npos && path[sep] == '.' ? sep : std::string::npos;
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const std::size_t dot = ExtensionStart(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string FolderPart(const std::string& path) {
    std::size_t sep = LastSeparator(path, false);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string FileNamePart(const std::string& path) {
    std::size_t sep = LastSeparator(path, false);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}
