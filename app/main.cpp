// Program entry: the real platform, the four windows (the strip first, then the three dialogs),
// and the message loop until the strip closes. The strip shows before the dialogs are created:
// its first paint needs none of them. They are created before the first message is handled, so
// from then to the end every window exists, and they take the places the strip's start read
// from the settings file.
#include "platform/win32/WinInclude.h"

#include <commctrl.h>

#include <iterator>
#include <memory>
#include <string>

#include "app/Ui.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "app/logic/SingleInstance.h"
#include "platform/win32/Codepage.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/Win32Platform.h"

namespace {

// The full path of a process's executable, upper-cased; empty when it cannot be read.
std::wstring UpperImagePath(DWORD pid) {
    const platform::ScopedHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process.valid()) {
        return {};
    }
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
        return {};
    }
    CharUpperBuffW(path, size);
    return std::wstring(path, size);
}

// The strip of the copy that runs from our own executable, brought to the front for the user
// who started us again.
void ShowRunningStrip(const std::wstring& ourPath) {
    std::wstring upper = ourPath;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    HWND found = nullptr;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"QuillboxStrip", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"QuillboxStrip", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() && UpperImagePath(pid) == upper) {
            found = w;
            break;
        }
    }
    if (found == nullptr) {
        return;  // still starting: it shows itself in a moment
    }
    if (IsIconic(found)) {
        ShowWindow(found, SW_RESTORE);
    }
    SetForegroundWindow(found);
}

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The four windows, owned here: each object destroys its window when it goes.
struct Windows {
    std::unique_ptr<TForm1> strip = std::make_unique<TForm1>();
    std::unique_ptr<TForm2> settings = std::make_unique<TForm2>();
    std::unique_ptr<TForm3> tagName = std::make_unique<TForm3>();
    std::unique_ptr<TForm4> tagList = std::make_unique<TForm4>();

    Windows() {
        Form1 = strip.get();
        Form2 = settings.get();
        Form3 = tagName.get();
        Form4 = tagList.get();
    }
    ~Windows() {
        // The dialogs before the strip, which reads their places while it lives.
        tagList.reset();
        tagName.reset();
        settings.reset();
        strip.reset();
        Form1 = nullptr;
        Form2 = nullptr;
        Form3 = nullptr;
        Form4 = nullptr;
    }
};

// A start-up that cannot go on: the user is told, and the program ends with a failure.
int StartFailed(const wchar_t* what) {
    MessageBoxW(nullptr, what, ui::kAppTitle, MB_OK | MB_ICONERROR);
    return 1;
}

// The windows, then the message loop until the strip closes; the exit code.
int RunStrip() {
    Windows windows;
    if (!windows.strip->Create()) {
        return StartFailed(L"ウィンドウを作成できません。");
    }
    windows.strip->Show();
    if (!windows.settings->Create() || !windows.tagName->Create() || !windows.tagList->Create()) {
        return StartFailed(L"ダイアログを作成できません。");
    }
    windows.strip->CompleteStart();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // A second start of this copy would read and later overwrite the same settings and tags
    // as the first: show the running strip instead. The mutex lives as long as the process.
    const std::wstring exePath = OwnPath();
    const std::wstring mutexName =
        platform::SjisToWide(InstanceMutexName(platform::WideToSjis(exePath)));
    const platform::ScopedHandle instance(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (instance.valid() && GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowRunningStrip(exePath);
        return 0;
    }

    platform::Win32Platform desktop;
    platform::SetCurrent(&desktop);
    const int started = RunStrip();
    platform::SetCurrent(nullptr);
    return started;
}
