// The reference of the "follow" row: a bare program that looks for a drawing window by polling
// EnumWindows every 10 ms, as a tool without window events would, and ends when it sees one
// (visible, unowned, its title naming a saved drawing) or after a minute.
#include <windows.h>

#include <cwchar>

namespace {

BOOL CALLBACK IsDrawing(HWND w, LPARAM found) {
    if (!IsWindowVisible(w) || GetWindow(w, GW_OWNER) != nullptr) {
        return TRUE;
    }
    wchar_t title[256] = {};
    GetWindowTextW(w, title, 255);
    const wchar_t* marker = std::wcsstr(title, L" - jw_win");
    if (marker != nullptr && marker != title && std::wcsncmp(title, L"無題 ", 3) != 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    for (int i = 0; i < 6000; ++i) {
        bool found = false;
        EnumWindows(IsDrawing, reinterpret_cast<LPARAM>(&found));
        if (found) {
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
