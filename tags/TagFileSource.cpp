#include "tags/TagFileSource.h"

#include <algorithm>

#include "platform/Platform.h"
#include "tags/TextLines.h"

namespace tagfile {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

bool IsForeign(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

std::string_view WithoutMark(std::string_view bytes) {
    return bytes.starts_with(kUtf8Mark) ? bytes.substr(kUtf8Mark.size()) : bytes;
}

bool IsBlank(std::string_view bytes) {
    const std::string_view text = WithoutMark(bytes);
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == '\r' || c == '\n' || c == ' ' || c == '\0' || c == '\x1A';
    });
}

std::string KeyLine(const std::string& key) {
    std::string line = textlines::OneLine(key);
    for (;;) {
        if (line.starts_with(kUtf8Mark)) {
            line.erase(0, kUtf8Mark.size());
        } else if (IsForeign(line)) {
            line.erase(0, 2);
        } else {
            return line;
        }
    }
}

Source ReadSource(const std::string& tagFile, const std::string& tbkFile) {
    platform::Platform& p = platform::Current();
    Source blank;
    for (const std::string& path : {tagFile, textlines::TempPathFor(tagFile), tbkFile}) {
        if (path.empty() || (path != tbkFile && path != tagFile && p.FileExists(tagFile))) {
            continue;  // a temporary beside a tag file is a save cut short while it wrote
        }
        Source s;
        s.path = path;
        const textlines::FileRead read = textlines::ReadWaiting(path, s.bytes);
        if (read == textlines::FileRead::Missing) {
            continue;
        }
        if (read == textlines::FileRead::Unreadable) {
            s.state = TBlockLookup::Unreadable;
            return s;
        }
        if (IsForeign(s.bytes)) {
            s.state = TBlockLookup::Foreign;
            return s;
        }
        if (!IsBlank(s.bytes)) {
            return s;
        }
        if (blank.path.empty()) {
            blank = std::move(s);
        }
    }
    return blank;
}

}  // namespace tagfile
