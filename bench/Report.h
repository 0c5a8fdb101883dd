// One row of the benchmark table: a figure, its reference measured in the same run, and their
// ratio, with min/median/max over the runs. The programs print rows as tab-separated "ROW"
// lines; scripts/bench gathers them into one table.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct Sample {
    double figure = 0;
    double reference = 0;
};

inline double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline std::vector<double> Figures(const std::vector<Sample>& s) {
    std::vector<double> out;
    for (const Sample& x : s) {
        out.push_back(x.figure);
    }
    return out;
}

inline std::vector<double> References(const std::vector<Sample>& s) {
    std::vector<double> out;
    for (const Sample& x : s) {
        out.push_back(x.reference);
    }
    return out;
}

// Each run's own ratio: figure and reference of one run share its noise. A run whose
// reference measured nothing (an idle program that never ran in a slice) has none.
inline std::vector<double> Ratios(const std::vector<Sample>& s) {
    std::vector<double> out;
    for (const Sample& x : s) {
        if (x.reference > 0) {
            out.push_back(x.figure / x.reference);
        }
    }
    return out;
}

// A value with its unit, compact: 0.52 ms, 1.3 %, 412 KiB.
inline std::string Format(double value, const char* unit) {
    char text[64];
    const double a = value < 0 ? -value : value;
    const char* pattern = a >= 100  ? "%.0f %s"
                          : a >= 10 ? "%.1f %s"
                          : a >= 1  ? "%.2f %s"
                                    : "%.3g %s";
    std::snprintf(text, sizeof text, pattern, value, unit);
    return text;
}

// scale turns the samples' unit into the shown one (1e3 for seconds shown as ms, say).
inline void PrintRow(const std::string& id, const std::string& what,
                     const std::vector<Sample>& samples, double scale, const char* unit,
                     const std::string& budget, bool ok) {
    const std::vector<double> r = Ratios(samples);
    std::string ratios = "-\t-\t-";
    if (!r.empty()) {
        const auto minmax = std::minmax_element(r.begin(), r.end());
        char text[96];
        std::snprintf(text, sizeof text, "%.3f\t%.3f\t%.3f", *minmax.first, Median(r),
                      *minmax.second);
        ratios = text;
    }
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%zu\t%s\t%s\n", id.c_str(), what.c_str(),
                Format(Median(Figures(samples)) * scale, unit).c_str(),
                Format(Median(References(samples)) * scale, unit).c_str(), ratios.c_str(),
                samples.size(), budget.c_str(), ok ? "ok" : "MISSED");
    std::fflush(stdout);
}

inline double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Times one call in seconds.
template <typename F>
double Time(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace bench
