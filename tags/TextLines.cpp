#include "tags/TextLines.h"

#include "platform/Platform.h"

namespace textlines {

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
    std::unique_ptr<platform::OutFile> file = p.CreateFile(path);
    if (!file) {
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
