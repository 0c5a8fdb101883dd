#include "tags/TextLines.h"

#include <algorithm>

#include "platform/Platform.h"
#include "tags/Func_.h"

namespace textlines {

namespace {

// Tries again after short pauses that grow, until the attempt succeeds, kLockWaitMs have
// passed or the waits are cancelled. A lock of a scanner lasts some tens of milliseconds, one
// of a sync client a few hundred: most are over at the first or second pause.
template <typename Attempt>
bool Retrying(Attempt attempt) {
    platform::Platform& p = platform::Current();
    const std::uint32_t start = p.GetTickCount();
    std::uint32_t pause = 20;
    for (;;) {
        if (attempt()) {
            return true;
        }
        const std::uint32_t elapsed = p.GetTickCount() - start;
        if (WaitsCancelled() || elapsed >= kLockWaitMs) {
            return false;
        }
        Delay(std::min(pause, kLockWaitMs - elapsed));
        pause = std::min<std::uint32_t>(pause * 2, 320);
    }
}

}  // namespace

FileRead ReadWaiting(const std::string& path, std::string& bytes) {
    platform::Platform& p = platform::Current();
    bool missing = false;
    const bool read = Retrying([&] {
        if (!p.FileExists(path)) {
            missing = true;
            return true;  // nothing to wait for
        }
        std::optional<std::string> got = p.ReadFile(path);
        if (got) {
            bytes = std::move(*got);
        }
        return got.has_value();
    });
    return missing ? FileRead::Missing : read ? FileRead::Read : FileRead::Unreadable;
}

bool RenameWaiting(const std::string& from, const std::string& to, bool replace) {
    platform::Platform& p = platform::Current();
    bool gone = false;
    const bool renamed = Retrying([&] {
        if (p.RenameFile(from, to, replace)) {
            return true;
        }
        gone = !p.FileExists(from);
        return gone;
    });
    return renamed && !gone;
}

bool DeleteWaiting(const std::string& path) {
    platform::Platform& p = platform::Current();
    return Retrying([&] { return p.DeleteFile(path) || !p.FileExists(path); });
}

LineReader::LineReader(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\x1A'))) {}

std::string LineReader::Next() {
    if (AtEnd()) {
        return {};
    }
    std::size_t end = bytes_.find('\n', pos_);
    const std::size_t next = end == std::string_view::npos ? bytes_.size() : end + 1;
    if (end == std::string_view::npos) {
        end = bytes_.size();
    }
    // A CR before the LF belongs to the line end, as does one cut off by the end of the file.
    if (end > pos_ && bytes_[end - 1] == '\r') {
        --end;
    }
    std::string line(bytes_.substr(pos_, end - pos_));
    pos_ = next;
    return line;
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\x1A') {
            c = ' ';
        }
    }
    return text;
}

void AppendLine(std::string& out, std::string_view text) {
    const std::size_t from = out.size();
    out.append(text);
    for (std::size_t i = from; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n' || out[i] == '\x1A') {
            out[i] = ' ';
        }
    }
    out += "\r\n";
}

std::string TempPathFor(const std::string& path) {
    return path + ".tmp";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    const std::string_view whole(bytes);
    return WriteWholeFile(path, {&whole, 1});
}

bool WriteWholeFile(const std::string& path, std::span<const std::string_view> pieces) {
    platform::Platform& p = platform::Current();
    std::unique_ptr<platform::OutFile> file;
    if (!Retrying([&] { return (file = p.CreateFile(path)) != nullptr; })) {
        return false;
    }
    // Flush before the caller renames: the new name must never point at bytes in flight.
    const bool written = file->WritePieces(pieces) && file->Flush();
    const bool closed = file->Close();
    if (written && closed) {
        return true;
    }
    file.reset();
    p.DeleteFile(path);
    return false;
}

}  // namespace textlines
