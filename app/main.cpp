// Program entry: the real platform, the four windows (the strip first, then the three dialogs),
// and the message loop until the strip closes. The strip shows before the dialogs are created:
// its first paint needs none of them. They are created before the first message is handled, so
// from then to the end every window exists, and they take the places the strip's start read
// from the settings file.
#include "platform/win32/WinInclude.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "app/logic/SingleInstance.h"
#include "platform/win32/Codepage.h"
#include "platform/win32/Win32Platform.h"

namespace {

// The full path of a process's executable, upper-cased; empty when it cannot be read.
std::wstring UpperImagePath(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = static_cast<DWORD>(std::size(path));
    const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    if (!ok) {
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
    HANDLE instance = CreateMutexW(nullptr, FALSE, mutexName.c_str());
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowRunningStrip(exePath);
        CloseHandle(instance);
        return 0;
    }

    platform::Win32Platform desktop;
    platform::SetCurrent(&desktop);

    Form1 = new TForm1;
    Form1->Create();
    Form2 = new TForm2;
    Form3 = new TForm3;
    Form4 = new TForm4;

    Form1->Show();

    Form2->Create();
    Form3->Create();
    Form4->Create();
    Form1->CompleteStart();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    platform::SetCurrent(nullptr);
    if (instance != nullptr) {
        CloseHandle(instance);
    }
    return static_cast<int>(msg.wParam);
}
