// The Windows side of the benchmark, run under Wine: the strip against jwsim and a crowded
// desktop, each figure beside a reference measured in the same run. "qb_bench ROW..." runs the
// rows named (keys, idle, scan, startup, tabs; all when none is named) and prints ROW lines.
//
// CPU time comes from Linux: the schedstat of every thread of the process's Linux PID, read
// through Wine's Z: drive. (A program under Wine cannot read its own entry, so the strip and
// every reference are measured from here, the same way.)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bench/Report.h"
#include "driver/Driver.h"
#include "jwcad/JwwWindows.h"
#include "keys/SendKey.h"

#include <commctrl.h>

using namespace e2e;

namespace {

std::wstring Bin(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

std::wstring Scratch(const std::wstring& name) {
    const std::wstring folder = WinPath(RequiredEnv("QB_BENCH_SCRATCH")) + L"\\" + name;
    MakeFolders(folder);
    return folder;
}

double EnvNumber(const char* name, double fallback) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0' ? std::atof(v) : fallback;
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(towlower(c));
    }
    return s;
}

std::optional<std::string> ReadProcFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        bytes.append(buffer, n);
    }
    CloseHandle(f);
    return bytes;
}

// The Linux process whose command line starts with the program's path (the path Wine shows
// for a program started by another Windows program). Our copies live in folders of their own,
// so other users of Wine on the machine never match.
int LinuxPid(const std::wstring& exe) {
    const std::string want = Utf8(Lower(exe));
    for (int attempt = 0; attempt < 200; ++attempt) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const int pid = _wtoi(found.cFileName);
                if (pid <= 0) {
                    continue;
                }
                auto cmd = ReadProcFile(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\cmdline");
                if (!cmd) {
                    continue;
                }
                const std::string first = Utf8(Lower(FromUtf8(cmd->substr(0, cmd->find('\0')))));
                if (first == want) {
                    FindClose(search);
                    return pid;
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        Sleep(10);
    }
    std::fprintf(stderr, "bench: no Linux process for %s\n", Utf8(exe).c_str());
    std::exit(1);
}

// CPU seconds every thread of a Linux process has run so far.
double CpuSeconds(int pid) {
    const std::wstring task = L"Z:\\proc\\" + std::to_wstring(pid) + L"\\task\\";
    double total = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((task + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        if (_wtoi(found.cFileName) <= 0) {
            continue;
        }
        if (auto s = ReadProcFile(task + found.cFileName + L"\\schedstat")) {
            total += std::strtod(s->c_str(), nullptr) / 1e9;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return total;
}

// Resident memory of a Linux process, in bytes.
double ResidentBytes(int pid) {
    auto status = ReadProcFile(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\status");
    if (!status) {
        return 0;
    }
    const std::size_t at = status->find("VmRSS:");
    return at == std::string::npos ? 0 : std::strtod(status->c_str() + at + 6, nullptr) * 1024;
}

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Polls every millisecond: start-up figures are a tenth of a second, WaitFor's 10 ms would
// blur them.
bool Poll(const std::function<bool()>& condition, double timeoutS) {
    const double end = Now() + timeoutS;
    while (!condition()) {
        if (Now() > end) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

std::string Line(const std::string& text) {
    return text + "\r\n";
}

// The settings file: tags on top, the given interval and key wait, the designed geometry.
std::string Settings(int intervalMs, const char* keyWait) {
    std::string s = Line("0") + Line(std::to_string(intervalMs)) + Line(keyWait) + Line("0");
    for (int v : {192, 107, 256, 82, 192, 110, 237, 131, 192, 107, 415, 281, 81, 296}) {
        s += Line(std::to_string(v));
    }
    return s;
}

std::wstring InstallQuillbox(const std::wstring& folder) {
    const std::wstring target = folder + L"\\quillbox.exe";
    CopyFileW(QuillboxExe().c_str(), target.c_str(), FALSE);
    return target;
}

HWND StripOf(DWORD pid) {
    return FindTopWindow([pid](HWND w) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        return owner == pid && std::wstring(cls) == L"QuillboxStrip";
    });
}

int TabCount(HWND tab) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(tab, TCM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) {
        return -1;
    }
    return static_cast<int>(count);
}

struct Drawing {
    std::wstring path;
    Process jwsim;
    std::wstring log;
};

Drawing StartDrawing(const std::wstring& folder) {
    Drawing d;
    d.path = folder + L"\\plan.jww";
    WriteBytes(d.path, "JwwData.\r\n");
    d.log = folder + L"\\jwsim.log";
    WriteBytes(d.log, "");
    d.jwsim = Start(JwsimExe() + L" " + d.path, {}, {{L"JWSIM_LOG", d.log}});
    WaitForProcessWindow(d.jwsim.pid(), 10000);
    return d;
}

// How many lines of jwsim's log are one event of its process.
int CountEvents(const Drawing& d, const std::string& event) {
    const std::string want = std::to_string(d.jwsim.pid()) + " " + event;
    const std::string log = ReadBytes(d.log).value_or("");
    int n = 0;
    for (std::size_t at = log.find(want); at != std::string::npos; at = log.find(want, at + 1)) {
        if ((at == 0 || log[at - 1] == '\n') &&
            (at + want.size() == log.size() || log[at + want.size()] == '\r' ||
             log[at + want.size()] == '\n')) {
            ++n;
        }
    }
    return n;
}

// ---- Rows ----------------------------------------------------------------------------------

void KeyWaitRow(int runs) {
    const std::wstring folder = Scratch(L"keys");
    Drawing d = StartDrawing(folder);
    const std::wstring exe = InstallQuillbox(folder);
    WriteBytes(folder + L"\\quillbox.dat", Settings(5000, "0.5"));
    Process strip = Start(L"\"" + exe + L"\"", folder);
    HWND window = nullptr;
    Poll([&] { return (window = StripOf(strip.pid())) != nullptr && IsWindowVisible(window); }, 20);
    HWND print = FindChild(FindChild(window, WC_TABCONTROLW), L"Button", L"Ｐ");
    const int stripPid = LinuxPid(exe);

    Process busy = Start(L"\"" + Bin(L"qb_bench_busy.exe") + L"\" QbBenchBusy 1500", folder);
    const int busyPid = LinuxPid(Bin(L"qb_bench_busy.exe"));
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"QbBenchBusy.go");
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, L"QbBenchBusy.done");
    Sleep(1000);

    std::vector<bench::Sample> samples;
    for (int r = 0; r < runs; ++r) {
        // "@FP{ENTER}": three key groups, each after the key wait; the last key up ends it.
        const int before = CountEvents(d, "keyup 0D");
        double cpu0 = CpuSeconds(stripPid);
        double t0 = Now();
        ClickButton(print);
        Poll([&] { return CountEvents(d, "keyup 0D") > before; }, 20);
        const double stripShare = (CpuSeconds(stripPid) - cpu0) / (Now() - t0);
        const double length = Now() - t0;

        ResetEvent(done);
        cpu0 = CpuSeconds(busyPid);
        t0 = Now();
        SetEvent(go);
        WaitForSingleObject(done, 20000);
        const double busyShare = (CpuSeconds(busyPid) - cpu0) / (Now() - t0);
        samples.push_back({stripShare, busyShare});
        if (r == 0) {
            std::fprintf(stderr, "bench: the key waits of one print took %.2f s\n", length);
        }
        Sleep(500);
    }
    const double share = bench::Median(bench::Ratios(samples));
    bench::PrintRow("1", "CPU during the key waits of \"Ｐ\" (KeyWait 0.5 s) / busy loop", samples,
                    100, "%", "<= 0.02", share <= 0.02);
    PostMessageW(window, WM_CLOSE, 0, 0);
    strip.WaitExit(5000);
}

void IdleRow() {
    const double seconds = EnvNumber("QB_BENCH_IDLE_S", 60);
    const int slices = 6;
    const std::wstring folder = Scratch(L"idle");
    Process crowd = Start(L"\"" + Bin(L"qb_bench_windows.exe") + L"\" 300", folder);
    Drawing d = StartDrawing(folder);
    const std::wstring exe = InstallQuillbox(folder);
    WriteBytes(folder + L"\\quillbox.dat", Settings(1000, "0.1"));
    Process strip = Start(L"\"" + exe + L"\"", folder);
    Process minimal = Start(L"\"" + Bin(L"qb_bench_minimal.exe") + L"\"", folder);
    HWND window = nullptr;
    Poll([&] { return (window = StripOf(strip.pid())) != nullptr && IsWindowVisible(window); }, 20);
    const int stripPid = LinuxPid(exe);
    const int minimalPid = LinuxPid(Bin(L"qb_bench_minimal.exe"));
    Sleep(2000);

    // Both run through the same seconds; each slice is one run.
    std::vector<bench::Sample> samples;
    double s0 = CpuSeconds(stripPid);
    double m0 = CpuSeconds(minimalPid);
    double t0 = Now();
    for (int k = 0; k < slices; ++k) {
        Sleep(static_cast<DWORD>(seconds * 1000 / slices));
        const double s1 = CpuSeconds(stripPid);
        const double m1 = CpuSeconds(minimalPid);
        const double t1 = Now();
        samples.push_back({(s1 - s0) / (t1 - t0), (m1 - m0) / (t1 - t0)});
        s0 = s1;
        m0 = m1;
        t0 = t1;
    }
    const double share = bench::Median(bench::Figures(samples));
    char what[160];
    std::snprintf(what, sizeof what,
                  "Idle CPU, %.0f s of 1 s ticks, 300 other windows / minimal Win32 program",
                  seconds);
    bench::PrintRow("2", what, samples, 100, "%", "<= 1 % of a core", share <= 0.01);
    PostMessageW(window, WM_CLOSE, 0, 0);
    strip.WaitExit(5000);
}

// The plainest scan of the same windows: every title, into a buffer on the stack.
int BareScan() {
    struct Count {
        static BOOL CALLBACK Visit(HWND w, LPARAM param) {
            wchar_t title[256];
            if (GetWindowTextW(w, title, 256) > 0 && wcsstr(title, L" - jw_win") != nullptr) {
                ++*reinterpret_cast<int*>(param);
            }
            return TRUE;
        }
    };
    int found = 0;
    EnumWindows(&Count::Visit, reinterpret_cast<LPARAM>(&found));
    return found;
}

void ScanRow(int runs) {
    const std::wstring folder = Scratch(L"scan");
    Process crowd = Start(L"\"" + Bin(L"qb_bench_windows.exe") + L"\" 300", folder);
    Drawing d = StartDrawing(folder);
    int windows = 0;
    Poll(
        [&] {
            windows = 0;
            EnumWindows(
                [](HWND, LPARAM n) {
                    ++*reinterpret_cast<int*>(n);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&windows));
            return windows >= 301;
        },
        20);
    platform::SetCurrent(&Platform());
    std::vector<bench::Sample> samples;
    for (int r = 0; r < runs; ++r) {
        bench::Sample s;
        const auto scan = [&] { s.figure = bench::Time([] { ScanJwwWindows(); }); };
        const auto bare = [&] { s.reference = bench::Time([] { BareScan(); }); };
        if (r % 2 == 0) {
            scan();
            bare();
        } else {
            bare();
            scan();
        }
        samples.push_back(s);
    }
    if (JwwCount != 1) {
        std::fprintf(stderr, "bench: the scan found %d drawings, not 1\n", JwwCount);
    }
    const double ratio = bench::Median(bench::Ratios(samples));
    char what[160];
    std::snprintf(what, sizeof what,
                  "ScanJwwWindows, %d top-level windows / EnumWindows + GetWindowTextW", windows);
    bench::PrintRow("3", what, samples, 1e3, "ms", "<= 1.25x", ratio <= 1.25);
}

struct Started {
    double seconds = 0;
    double resident = 0;
};

// From the process start to its first visible window, then its memory half a second later.
Started TimeToWindow(const std::wstring& exe, const std::wstring& folder) {
    Started s;
    const double t0 = Now();
    Process p = Start(L"\"" + exe + L"\"", folder);
    Poll([&] { return FindUnownedWindowOf(p.pid()) != nullptr; }, 20);
    s.seconds = Now() - t0;
    Sleep(500);
    s.resident = ResidentBytes(LinuxPid(exe));
    p.Kill();
    p.WaitExit(5000);
    return s;
}

// The strip beside two references, in turns whose order rotates from run to run: the
// strip's own controls alone (the floor it is held to) and the minimal window (information).
void StartupRow(int runs) {
    const std::wstring folder = Scratch(L"startup");
    const std::wstring programs[] = {InstallQuillbox(folder), Bin(L"qb_bench_controls.exe"),
                                     Bin(L"qb_bench_minimal.exe")};
    std::vector<bench::Sample> time, memory, minimalTime, minimalMemory;
    for (int r = 0; r < runs; ++r) {
        Started s[3];
        for (int k = 0; k < 3; ++k) {
            const int i = (r + k) % 3;
            s[i] = TimeToWindow(programs[i], folder);
        }
        time.push_back({s[0].seconds, s[1].seconds});
        memory.push_back({s[0].resident, s[1].resident});
        minimalTime.push_back({s[0].seconds, s[2].seconds});
        minimalMemory.push_back({s[0].resident, s[2].resident});
    }
    const double t = bench::Median(bench::Ratios(time));
    const double m = bench::Median(bench::Ratios(memory));
    constexpr double kMiB = 1.0 / (1024 * 1024);
    bench::PrintRow("4", "Start-up to strip visible / its controls alone", time, 1e3, "ms",
                    "<= 1.15x", t <= 1.15);
    bench::PrintRow("4", "Resident memory, strip shown / its controls alone", memory, kMiB, "MiB",
                    "<= 1.1x", m <= 1.1);
    bench::PrintRow("4", "Start-up to strip visible / minimal Win32 program", minimalTime, 1e3,
                    "ms", "information", true);
    bench::PrintRow("4", "Resident memory, strip shown / minimal Win32 program", minimalMemory,
                    kMiB, "MiB", "information", true);
}

// A tag file whose block for the drawing holds the drawing and tags more entries.
std::string TagFile(const std::wstring& drawing, int tags) {
    std::string sjis = Sjis(drawing);
    std::string key = sjis;
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    std::string text = Line(key) + Line(std::to_string(tags + 1)) + Line("plan.jww") + Line(sjis);
    for (int i = 1; i <= tags; ++i) {
        text += Line("Tag " + std::to_string(i)) + Line(sjis + " /p" + std::to_string(i));
    }
    return text;
}

// From the strip's start until it shows the drawing with all its tabs.
double TimeToTabs(const std::wstring& exe, const std::wstring& folder, int tags) {
    const double t0 = Now();
    Process p = Start(L"\"" + exe + L"\"", folder);
    HWND window = nullptr;
    HWND tab = nullptr;
    Poll(
        [&] {
            if (window == nullptr) {
                window = StripOf(p.pid());
            }
            if (window == nullptr || !IsWindowVisible(window)) {
                return false;
            }
            if (tab == nullptr) {
                tab = FindChild(window, WC_TABCONTROLW);
            }
            return tab != nullptr && TabCount(tab) == tags + 1;
        },
        60);
    const double seconds = Now() - t0;
    p.Kill();
    p.WaitExit(5000);
    return seconds;
}

void TabsRow(int runs) {
    const std::wstring folder = Scratch(L"tabs");
    Drawing d = StartDrawing(folder);
    const std::wstring exe = InstallQuillbox(folder);
    WriteBytes(folder + L"\\quillbox.dat", Settings(5000, "0.1"));
    const std::wstring tagFile = folder + L"\\quillbox.tag";
    const int sizes[] = {250, 500, 1000, 2000};
    std::map<int, std::vector<bench::Sample>> samples;
    for (int r = 0; r < runs; ++r) {
        for (int n : sizes) {
            bench::Sample s;
            const auto many = [&] {
                WriteBytes(tagFile, TagFile(d.path, n));
                s.figure = TimeToTabs(exe, folder, n);
            };
            const auto one = [&] {
                WriteBytes(tagFile, TagFile(d.path, 0));
                s.reference = TimeToTabs(exe, folder, 0);
            };
            if (r % 2 == 0) {
                many();
                one();
            } else {
                one();
                many();
            }
            samples[n].push_back(s);
        }
    }
    std::map<int, double> extra;
    for (int n : sizes) {
        std::vector<double> e;
        for (const bench::Sample& s : samples[n]) {
            e.push_back(s.figure - s.reference);
        }
        extra[n] = bench::Median(e);
    }
    for (int n : sizes) {
        bool ok = true;
        std::string budget;
        if (n == 1000) {
            ok = extra[n] <= 0.3;
            budget = "+" + bench::Format(extra[n] * 1e3, "ms") + " <= +300 ms";
        } else if (n > sizes[0]) {
            // Linear growth: twice the tags cost at most twice the extra time, with room for
            // the noise of a process start (tens of milliseconds on a shared machine).
            ok = extra[n] <= 2.5 * extra[n / 2] + 0.05;
            budget = "+" + bench::Format(extra[n] * 1e3, "ms") + " <= 50 ms + 2.5 x +" +
                     bench::Format(extra[n / 2] * 1e3, "ms");
        } else {
            budget = "+" + bench::Format(extra[n] * 1e3, "ms");
        }
        bench::PrintRow("6", "Strip shown with " + std::to_string(n) + " tags / with one tag",
                        samples[n], 1e3, "ms", budget, ok);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::set<std::string> rows(argv + 1, argv + argc);
    const auto wanted = [&](const char* row) { return rows.empty() || rows.count(row) > 0; };
    const int runs = static_cast<int>(EnvNumber("QB_BENCH_RUNS", 7));
    if (wanted("keys")) {
        KeyWaitRow(std::max(3, runs / 2));
    }
    if (wanted("idle")) {
        IdleRow();
    }
    if (wanted("scan")) {
        ScanRow(runs * 20);
    }
    if (wanted("startup")) {
        // A start takes a second and single starts swing by half under Wine: three times the
        // runs for a median that holds still.
        StartupRow(runs * 3);
    }
    if (wanted("tabs")) {
        TabsRow(std::max(3, runs * 2 / 3));
    }
    return 0;
}
