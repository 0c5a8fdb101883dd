// A crowded desktop: "qb_bench_windows N" shows N small top-level windows with ordinary
// titles (none of them a drawing) and keeps them until it is ended.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
    const int count = std::max(1, static_cast<int>(std::wcstol(args, nullptr, 10)));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"QbBenchCrowd";
    RegisterClassW(&wc);
    for (int i = 0; i < count; ++i) {
        wchar_t title[64];
        std::swprintf(title, 64, L"メモ %d - テキスト エディター", i);
        HWND w =
            CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, title, WS_POPUP, 1000 + i % 200,
                            900 + i / 200, 8, 8, nullptr, nullptr, instance, nullptr);
        ShowWindow(w, SW_SHOWNOACTIVATE);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
