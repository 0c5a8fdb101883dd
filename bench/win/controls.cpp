// The floor of the strip's start-up and memory: the minimal program's window holding the
// strip's own controls, as the strip makes them: a tab control of the common controls 6 (the
// manifest's), the seven themed push buttons on it, and the strip's font on all of them. What
// Wine loads for these is no choice of the strip's; what the strip adds to it is.
#include <windows.h>

#include <commctrl.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void SetFont(HWND w, HFONT font) {
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QbBenchControls";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Controls", WS_POPUP, 192, 107,
                                256, 82, nullptr, nullptr, instance, nullptr);
    const HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    HWND tab = CreateWindowExW(0, WC_TABCONTROLW, L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 256,
                               82, hwnd, nullptr, instance, nullptr);
    SetFont(tab, font);
    static const wchar_t* const kCaptions[] = {L"×", L"設", L"Ｐ", L"取", L"編", L"印", L"閉"};
    int left = 256 - 22;
    for (const wchar_t* caption : kCaptions) {
        HWND button = CreateWindowExW(0, L"BUTTON", caption,
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, left,
                                      82 - 22, 22, 22, tab, nullptr, instance, nullptr);
        SetFont(button, font);
        left -= 22;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
