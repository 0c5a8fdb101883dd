#include "jwcad/Launch.h"

#include "jwcad/JwwWindows.h"
#include "tags/Func_.h"

namespace {

constexpr char kFallbackPrefix[] = "C:\\JWW\\JW_WIN.EXE ";
// Jw_cad on a slow machine can take many seconds to come up; past this we stop blocking the
// strip and look for its window all the same.
constexpr std::uint32_t kIdleTimeoutMs = 30000;
// A program can reach input idle a moment before its window is listed (the platform's "wait
// until activation settles"): look a little longer before calling the launch windowless.
constexpr std::uint32_t kWindowPollMs = 2000;
constexpr std::uint32_t kPollStepMs = 50;

}  // namespace

TLaunchResult LaunchJwcad(const std::string& commandLine, const std::string& folder) {
    TLaunchResult result;
    auto& os = platform::Current();
    os.stopIdleWait = [] { return WaitsCancelled(); };
    std::optional<platform::ProcessId> pid = os.StartProcess(commandLine, folder, kIdleTimeoutMs);
    os.stopIdleWait = nullptr;
    if (!pid) {
        return result;
    }
    result.Created = true;
    result.Pid = *pid;
    result.Window = FindProcessWindow(*pid);
    for (std::uint32_t waited = 0;
         result.Window == 0 && waited < kWindowPollMs && !WaitsCancelled(); waited += kPollStepMs) {
        Delay(kPollStepMs);
        result.Window = FindProcessWindow(*pid);
    }
    return result;
}

bool JumpFitsCommandLine(const std::string& jumpSjis) {
    // A Shift-JIS byte is at most one UTF-16 unit, so the byte count bounds the characters.
    constexpr std::size_t kMaxCommandLine = 32767 - 1;    // without its terminating zero
    constexpr std::size_t kMaxProgramPart = 2 + 259 + 1;  // quotes, MAX_PATH's path, blank
    return jumpSjis.size() <= kMaxCommandLine - kMaxProgramPart;
}

bool PathFitsPlatform(const std::string& pathSjis) {
    constexpr std::size_t kMaxPathChars = 259;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < pathSjis.size(); i += CharWidthAt(pathSjis, i)) {
        ++chars;
    }
    return chars <= kMaxPathChars;
}

std::string JwcadCommandPrefix(const std::string& program) {
    if (program.empty()) {
        return kFallbackPrefix;
    }
    if (program.find(' ') != std::string::npos && program.front() != '"') {
        return "\"" + program + "\" ";
    }
    return program + " ";
}

void ApplyPlacement(platform::WindowHandle to, const platform::WindowPlacement& placement) {
    auto& p = platform::Current();
    if (p.IsWindowHung(to)) {
        return;
    }
    if (p.SetWindowPlacement(to, placement)) {
        return;
    }
    p.ShowWindow(to, platform::kSwRestore);
    p.MoveWindow(to, placement.normalPosition);
    switch (placement.showCmd) {
        case platform::kSwShowMaximized:
            p.ShowWindow(to, platform::kSwShowMaximized);
            break;
        case platform::kSwShowMinimized:
            p.ShowWindow(to, platform::kSwShowMinimized);
            break;
        default:
            break;
    }
}
