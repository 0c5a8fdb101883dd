// The settings file over arbitrary bytes. A load keeps what it could read and never lets an
// overflowing key wait escape; what a save writes after it is the file's normal form, so a
// second load and save change nothing more.
//
// The first load may hold a key wait with more than 15 significant digits, which the file
// keeps only to 15: the written file, not the first load, is the fixed point.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "platform/fake/FakePlatform.h"
#include "tags/Func_.h"
#include "tags/Settings.h"

namespace {

const std::string kDat = "C:\\QB\\quillbox.dat";

// LoadSettings over the file as it stands, from the values in force without a file.
TSettings Load() {
    TSettings s;
    try {
        LoadSettings(kDat, s);
    } catch (const FloatOverflowError&) {
        std::fprintf(stderr, "FloatOverflowError escaped LoadSettings\n");
        std::abort();
    }
    return s;
}

std::string Save(platform::FakePlatform& fake, const TSettings& s) {
    FUZZ_CHECK(SaveSettings(kDat, s));
    const std::optional<std::string> bytes = fake.FileBytes(kDat);
    FUZZ_CHECK(bytes.has_value());
    return *bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::ScopedFakePlatform p;
    p.fake.PutFile(kDat, std::string(reinterpret_cast<const char*>(data), size));

    const TSettings first = Load();
    // The strip stays big enough to be grabbed, whatever the file held.
    FUZZ_CHECK(first.Form1Width >= 40 && first.Form1Height >= 40);
    FUZZ_CHECK(std::isfinite(first.Values.KeyWait));

    const std::string written = Save(p.fake, first);
    const TSettings second = Load();
    const std::string rewritten = Save(p.fake, second);
    const TSettings third = Load();

    FUZZ_CHECK(rewritten == written);
    FUZZ_CHECK(third == second);
    // Apart from the key wait's digits beyond the 15th, the first load survives the round trip.
    TSettings firstRounded = first;
    firstRounded.Values.KeyWait = second.Values.KeyWait;
    FUZZ_CHECK(firstRounded == second);
    FUZZ_CHECK(std::fabs(second.Values.KeyWait - first.Values.KeyWait) <=
               std::fabs(first.Values.KeyWait) * 1e-14 + std::numeric_limits<double>::denorm_min());
    return 0;
}
