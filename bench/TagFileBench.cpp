// The tag file at its largest: loading the last of 100,000 blocks and saving the file again,
// each beside the plainest code that touches the same bytes. Natively over the fake platform's
// in-memory files; built for Windows, over real files through the real platform.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/Report.h"
#include "platform/Platform.h"
#include "tags/TagFile.h"
#include "tags/UnitV.h"

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/fake/FakePlatform.h"
#endif

namespace {

constexpr int kBlocks = 100000;

// In memory a save or a copy takes a few milliseconds, and the ratio of a single run swings
// from 0.6x to 5x on this machine: many runs, at little cost, so that the median holds still.
// Through real files, where each run takes a tenth of a second, fewer.
#ifdef _WIN32
constexpr int kDefaultRuns = 7;
#else
constexpr int kDefaultRuns = 21;
#endif

std::string BlockKey(int i) {
    char key[96];
    std::snprintf(key, sizeof key, "C:\\JWW\\PROJECTS\\SITE%03d\\DRAWINGS\\PLAN%06d.JWW", i % 500,
                  i);
    return key;
}

// About 190 bytes a block, as in the file the slow save was seen with: the drawing and two tags.
std::string TagFileText() {
    std::string text;
    text.reserve(static_cast<std::size_t>(kBlocks) * 200);
    for (int i = 0; i < kBlocks; ++i) {
        char block[512];
        std::snprintf(block, sizeof block,
                      "%s\r\n3\r\nplan%06d.jww\r\nC:\\JWW\\PROJECTS\\SITE%03d\\plan%06d.jww\r\n"
                      "Detail\r\nC:\\JWW\\DETAIL\\d%06d.jww /p\r\nSection\r\nD:\\S\\s%06d.jww\r\n",
                      BlockKey(i).c_str(), i, i % 500, i, i, i);
        text += block;
    }
    return text;
}

// A reader that knows nothing of the format: every line, one after the other, compared with
// the key.
bool BareLineRead(const std::string& path, const std::string& key) {
    const std::optional<std::string> bytes = platform::Current().ReadFile(path);
    if (!bytes) {
        return false;
    }
    std::string_view rest(*bytes);
    std::string line;
    bool found = false;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view l = rest.substr(0, end);
        if (!l.empty() && l.back() == '\r') {
            l.remove_suffix(1);
        }
        line.assign(l);
        found = found || line == key;
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return found;
}

// The same bytes read, written to a new file, flushed and closed.
bool PlainCopy(const std::string& from, const std::string& to) {
    auto& p = platform::Current();
    const std::optional<std::string> bytes = p.ReadFile(from);
    std::unique_ptr<platform::OutFile> out = p.CreateFile(to);
    return bytes && out && out->Write(*bytes) && out->Flush() && out->Close();
}

void PutFile(const std::string& path, const std::string& bytes) {
    std::unique_ptr<platform::OutFile> out = platform::Current().CreateFile(path);
    if (!out || !out->Write(bytes) || !out->Close()) {
        std::fprintf(stderr, "tagfile bench: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    platform::Win32Platform desktop;
    platform::SetCurrent(&desktop);
    // The folder as a Windows path (Shift-JIS), where the files may be written.
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::string where = "wine";
#else
    platform::ScopedFakePlatform fake;
    const std::string folder = "C:\\QB";
    const std::string where = "native";
#endif
    const int runs = argc > 2 ? std::atoi(argv[2]) : kDefaultRuns;
    const std::string tag = folder + "\\quillbox.tag";
    const std::string tbk = folder + "\\quillbox.tbk";
    const std::string copy = folder + "\\copy.tag";
    const std::string lastKey = BlockKey(kBlocks - 1);
    const std::string text = TagFileText();
    PutFile(tag, text);

    std::vector<bench::Sample> load;
    std::vector<bench::Sample> save;
    for (int r = 0; r < runs; ++r) {
        // Alternating which goes first, so neither always meets a warm or a cold cache.
        bench::Sample l;
        bench::Sample s;
        bool loaded = false;
        const auto loadOne = [&] {
            l.figure = bench::Time([&] { loaded = LoadTagBlock(tag, lastKey); });
        };
        const auto readOne = [&] {
            l.reference = bench::Time([&] { BareLineRead(tag, lastKey); });
        };
        if (r % 2 == 0) {
            loadOne();
            readOne();
        } else {
            readOne();
            loadOne();
        }
        if (!loaded || TagCount != 3) {
            std::fprintf(stderr, "tagfile bench: the last block did not load\n");
            return 1;
        }
        // The save puts the loaded block first; every run starts from the same file.
        const auto saveOne = [&] { s.figure = bench::Time([&] { SaveTagFile(tag, tbk); }); };
        const auto copyOne = [&] { s.reference = bench::Time([&] { PlainCopy(tag, copy); }); };
        if (r % 2 == 0) {
            saveOne();
            copyOne();
        } else {
            copyOne();
            saveOne();
        }
        PutFile(tag, text);
        load.push_back(l);
        save.push_back(s);
    }
    const double loadRatio = bench::Median(bench::Ratios(load));
    const double saveRatio = bench::Median(bench::Ratios(save));
    bench::PrintRow("5 " + where, "LoadTagBlock, last of 100,000 blocks / bare line read", load,
                    1e3, "ms", "<= 1.5x", loadRatio <= 1.5);
    bench::PrintRow("5 " + where, "SaveTagFile, 100,000 blocks / plain copy with flush", save, 1e3,
                    "ms", "<= 2x", saveRatio <= 2.0);
    return 0;
}
