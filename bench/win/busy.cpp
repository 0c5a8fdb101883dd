// The busy reference: "qb_bench_busy NAME MS" waits for the event NAME.go, spins MS
// milliseconds without a pause, sets NAME.done and then sleeps until it is ended. A core kept
// busy for a known time, measured the way the strip's CPU is.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
    std::wstring line(args);
    const std::size_t blank = line.find(L' ');
    const std::wstring name = line.substr(0, blank);
    const long ms =
        blank == std::wstring::npos ? 1000 : std::wcstol(line.c_str() + blank, nullptr, 10);
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, (name + L".go").c_str());
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, (name + L".done").c_str());
    for (;;) {
        WaitForSingleObject(go, INFINITE);
        ResetEvent(go);
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
        volatile unsigned long long spin = 0;
        while (GetTickCount64() < end) {
            for (int i = 0; i < 10000; ++i) {
                spin = spin + 1;
            }
        }
        SetEvent(done);
    }
}
