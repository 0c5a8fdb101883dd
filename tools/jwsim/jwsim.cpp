// jwsim: a small stand-in for the CAD program. It keeps the CAD program's side of the contract
// Quillbox relies on (window title, the registry folder value, the command line, the three
// menu key sequences and the clipboard text) and nothing more, and writes every key message
// and action it sees to an event log so that tests can check what really arrived.
//
// Command line: "<drawing path> [arguments...]"; the arguments are kept verbatim.
// Environment:
//   JWSIM_LOG=<file>            append events here (UTF-8, "<pid> <event>[ <detail>]")
//                               keys: keydown/keyup/syskeydown/syskeyup <vk hex>, and
//                               postedkeydown... for key messages no keyboard produced
//   JWSIM_SLOW_START_MS=<n>     sleep n ms before creating the window
//   JWSIM_NEVER_IDLE=1          show the window, then never read a message (until killed)
//   JWSIM_HIDDEN=1              never show the window
//   JWSIM_OWNED_DIALOG=1        also show an owned window with the same title
//   JWSIM_MODIFIED=1            start with unsaved changes (closing asks to save)
//   JWSIM_OPEN_AFTER_MS=<n>     open JWSIM_OPEN_PATH after n ms (the title changes)
#include "platform/win32/Codepage.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WinInclude.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr wchar_t kMainClass[] = L"JwsimMain";
constexpr wchar_t kToolClass[] = L"JwsimTool";
constexpr wchar_t kTitleMarker[] = L" - jw_win";
constexpr wchar_t kUntitled[] = L"無題";
constexpr wchar_t kFolderKey[] = L"SOFTWARE\\Jw_cad\\jw_win\\Folder";

enum Command : UINT { kCmdPrint = 100, kCmdCopyInfo, kCmdExit };
constexpr UINT_PTR kOpenTimer = 1;

struct State {
    std::wstring path;  // full path of the drawing; empty when untitled
    std::wstring args;  // the arguments after the path, verbatim
    std::wstring status = L"待機中";
    std::wstring logPath;
    std::wstring openLater;
    bool modified = false;
    HWND main = nullptr;
    HFONT font = nullptr;
};
State g;

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD n = ::GetEnvironmentVariableW(name, buffer, 32768);
    return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}

std::string Utf8(const std::wstring& wide) {
    return platform::WideToUtf8(wide);
}

// One line per event. Several jwsims may share a log, so each line is written by one append
// under a named mutex, and the file is open only for that line.
void Log(const std::wstring& event, const std::wstring& detail = {}) {
    if (g.logPath.empty()) {
        return;
    }
    std::string line = std::to_string(::GetCurrentProcessId()) + " " + Utf8(event);
    if (!detail.empty()) {
        line += ' ';
        line += Utf8(detail);
    }
    line += "\n";
    platform::ScopedHandle mutex(::CreateMutexW(nullptr, FALSE, L"jwsim-event-log"));
    if (mutex.valid()) {
        ::WaitForSingleObject(mutex.get(), 5000);
    }
    // A reader may hold the log for a moment without sharing it for writing: try again.
    platform::ScopedHandle file;
    for (int attempt = 0; attempt < 50 && !file.valid(); ++attempt) {
        if (attempt > 0) {
            ::Sleep(10);
        }
        file = platform::ScopedHandle(
            ::CreateFileW(g.logPath.c_str(), FILE_APPEND_DATA,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (file.valid()) {
        ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
        DWORD written = 0;
        ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    file.Close();
    if (mutex.valid()) {
        ::ReleaseMutex(mutex.get());
    }
}

std::wstring FileNamePart(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderPart(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring Title() {
    return (g.path.empty() ? std::wstring(kUntitled) : FileNamePart(g.path)) + kTitleMarker;
}

void WriteFolderValue() {
    platform::ScopedRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kFolderKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          key.out(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    std::wstring folder = FolderPart(g.path);
    ::RegSetValueExW(key.get(), L"File", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

void OpenDrawing(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    g.path = n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : path;
    WriteFolderValue();
    Log(L"open", g.path);
    if (g.main != nullptr) {
        ::SetWindowTextW(g.main, Title().c_str());
        ::InvalidateRect(g.main, nullptr, TRUE);
    }
}

// The command line after the program's own name: the drawing path, then a blank and the
// arguments, which are kept exactly as written.
std::wstring AfterProgramName(const std::wstring& line) {
    std::size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        std::size_t close = line.find(L'"', 1);
        i = close == std::wstring::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t') {
            ++i;
        }
    }
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) {
        ++i;
    }
    return line.substr(i);
}

void SplitPathAndArgs(const std::wstring& rest, std::wstring& path, std::wstring& args) {
    std::size_t end;
    if (!rest.empty() && rest[0] == L'"') {
        std::size_t close = rest.find(L'"', 1);
        path = rest.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        end = close == std::wstring::npos ? rest.size() : close + 1;
    } else {
        end = rest.find(L' ');
        path = rest.substr(0, end);
    }
    std::size_t blank = end >= rest.size() ? std::wstring::npos : rest.find(L' ', end);
    args = blank == std::wstring::npos ? std::wstring() : rest.substr(blank + 1);
}

HGLOBAL GlobalCopy(const void* data, std::size_t bytes) {
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (mem == nullptr) {
        return nullptr;
    }
    platform::ScopedGlobalLock lock(mem);
    std::memcpy(lock.data(), data, bytes);
    return mem;
}

bool OpenClipboardWithRetry(HWND owner) {
    for (int i = 0; i < 20; ++i) {
        if (::OpenClipboard(owner)) {
            return true;
        }
        ::Sleep(10);
    }
    return false;
}

// "File, File info, Info": the drawing's full path, a blank, then the arguments, in both the
// Unicode and the Shift-JIS form so that a reader in any locale gets the same text.
// The blank is there even without arguments: readers find the path's end by it.
void CopyDrawingInfo() {
    std::wstring text = g.path + L" " + g.args;
    if (!OpenClipboardWithRetry(g.main)) {
        Log(L"copyfailed");
        return;
    }
    ::EmptyClipboard();
    std::string sjis = platform::WideToSjis(text);
    if (HGLOBAL wide = GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t))) {
        if (!::SetClipboardData(CF_UNICODETEXT, wide)) {
            ::GlobalFree(wide);
        }
    }
    if (HGLOBAL ansi = GlobalCopy(sjis.c_str(), sjis.size() + 1)) {
        if (!::SetClipboardData(CF_TEXT, ansi)) {
            ::GlobalFree(ansi);
        }
    }
    ::CloseClipboard();
    g.status = L"図面情報をコピーしました";
    ::InvalidateRect(g.main, nullptr, TRUE);
    Log(L"copy", text);
}

void EnterPrintMode() {
    int answer = ::MessageBoxW(g.main, L"印刷範囲を指定して OK で印刷します。", L"印刷",
                               MB_OKCANCEL | MB_ICONINFORMATION);
    if (answer == IDOK) {
        g.status = L"印刷モード";
        ::InvalidateRect(g.main, nullptr, TRUE);
        Log(L"print", g.path);
    } else {
        Log(L"printcancel");
    }
}

// Closing with unsaved changes asks first, as the CAD program does.
void Exit() {
    if (g.modified) {
        Log(L"saveprompt");
        int answer = ::MessageBoxW(g.main, L"図面が変更されています。保存しますか？", L"jw_win",
                                   MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) {
            Log(L"exitcancel");
            return;
        }
        Log(answer == IDYES ? L"save" : L"nosave", g.path);
        g.modified = false;
    }
    ::DestroyWindow(g.main);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    HGDIOBJ old = ::SelectObject(dc, g.font);
    ::SetBkMode(dc, TRANSPARENT);
    std::wstring lines[] = {L"図面: " + (g.path.empty() ? std::wstring(kUntitled) : g.path),
                            L"引数: " + g.args,
                            L"状態: " + g.status + (g.modified ? L"（変更あり）" : L"")};
    int y = 12;
    for (const std::wstring& line : lines) {
        ::TextOutW(dc, 12, y, line.c_str(), static_cast<int>(line.size()));
        y += 24;
    }
    ::SelectObject(dc, old);
    ::EndPaint(hwnd, &ps);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kCmdPrint:
                    EnterPrintMode();
                    return 0;
                case kCmdCopyInfo:
                    CopyDrawingInfo();
                    return 0;
                case kCmdExit:
                    Exit();
                    return 0;
            }
            break;
        case WM_TIMER:
            if (wp == kOpenTimer) {
                ::KillTimer(hwnd, kOpenTimer);
                OpenDrawing(g.openLater);
                return 0;
            }
            break;
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_CLOSE:
            Exit();
            return 0;
        case WM_DESTROY:
            Log(L"exit");
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// Every key message the thread takes from its queue, whichever loop takes it: the main loop,
// the menu's own loop or a message box's.
LRESULT CALLBACK KeyLogHook(int code, WPARAM removed, LPARAM lp) {
    if (code == HC_ACTION && removed == PM_REMOVE) {
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        const wchar_t* name = nullptr;
        switch (m->message) {
            case WM_KEYDOWN:
                name = L"keydown";
                break;
            case WM_KEYUP:
                name = L"keyup";
                break;
            case WM_SYSKEYDOWN:
                name = L"syskeydown";
                break;
            case WM_SYSKEYUP:
                name = L"syskeyup";
                break;
        }
        if (name != nullptr) {
            wchar_t vk[8];
            std::swprintf(vk, 8, L"%02X", static_cast<unsigned>(m->wParam & 0xFF));
            // Real input carries a repeat count of at least 1; a key message some program
            // posted (Wine's menu posts itself an Enter to open a popup) carries none.
            bool posted = (m->lParam & 0xFFFF) == 0;
            Log(posted ? std::wstring(L"posted") + name : std::wstring(name), vk);
        }
    }
    return ::CallNextHookEx(nullptr, code, removed, lp);
}

HMENU BuildMenu() {
    HMENU info = ::CreatePopupMenu();
    ::AppendMenuW(info, MF_STRING, kCmdCopyInfo, L"図面情報をコピー(&I)");
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(info), L"ファイル情報(&F)");
    ::AppendMenuW(file, MF_STRING, kCmdPrint, L"印刷(&P)...");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, kCmdExit, L"終了(&X)");
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル(&F)");
    return bar;
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainClass;
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.lpszClassName = kToolClass;
    ::RegisterClassExW(&wc);
}

// Busy the way a program that never reaches its message loop is: the window exists but no
// message is ever read, so the process never becomes input-idle.
[[noreturn]] void StayBusy() {
    Log(L"busy");
    for (int i = 0; i < 1200; ++i) {
        ::Sleep(100);
    }
    ::ExitProcess(3);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g.logPath = Env(L"JWSIM_LOG");
    std::wstring rest = AfterProgramName(::GetCommandLineW());
    Log(L"start", rest);

    std::wstring path;
    SplitPathAndArgs(rest, path, g.args);
    g.modified = !Env(L"JWSIM_MODIFIED").empty();
    if (int slow = _wtoi(Env(L"JWSIM_SLOW_START_MS").c_str()); slow > 0) {
        ::Sleep(static_cast<DWORD>(slow));
    }
    if (!path.empty()) {
        OpenDrawing(path);
    }

    RegisterClasses(instance);
    g.font = ::CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    g.main = ::CreateWindowExW(0, kMainClass, Title().c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 640,
                               360, nullptr, BuildMenu(), instance, nullptr);
    if (g.main == nullptr) {
        return 1;
    }
    if (Env(L"JWSIM_HIDDEN").empty()) {
        ::ShowWindow(g.main, SW_SHOWNORMAL);
        ::UpdateWindow(g.main);
    }
    if (!Env(L"JWSIM_OWNED_DIALOG").empty()) {
        HWND owned = ::CreateWindowExW(0, kToolClass, Title().c_str(),
                                       WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 120, 120, 300, 120,
                                       g.main, nullptr, instance, nullptr);
        Log(L"owned", owned ? L"shown" : L"failed");
    }
    if (!Env(L"JWSIM_NEVER_IDLE").empty()) {
        StayBusy();
    }
    g.openLater = Env(L"JWSIM_OPEN_PATH");
    if (int after = _wtoi(Env(L"JWSIM_OPEN_AFTER_MS").c_str()); after > 0 && !g.openLater.empty()) {
        ::SetTimer(g.main, kOpenTimer, static_cast<UINT>(after), nullptr);
    }

    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, KeyLogHook, nullptr, ::GetCurrentThreadId());
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (hook != nullptr) {
        ::UnhookWindowsHookEx(hook);
    }
    ::DeleteObject(g.font);
    return static_cast<int>(msg.wParam);
}
