// The line files of the tag store and the settings. Written lines end in CR LF; a reader
// takes LF or CR LF as the end of a line and the byte 0x1A as the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace textlines {

class LineReader {
  public:
    explicit LineReader(std::string_view bytes);
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // The next line without its end; empty text once the end of the file has been reached.
    std::string Next();

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// Replaces every CR, LF and 0x1A with a blank: inside a value they would split its line or
// end the whole file when it is read back.
std::string OneLine(std::string text);

// Appends text as one line ending in CR LF, made safe with OneLine.
void AppendLine(std::string& out, std::string_view text);

// The temporary that a save writes beside path before it replaces path.
std::string TempPathFor(const std::string& path);

// Another program (a virus scanner, a backup or sync client) may hold a file that was just
// written for a moment without sharing it. Every read, create and rename of our files waits
// that out, up to this long, while the strip keeps handling its messages; a close of the strip
// ends the wait at once.
constexpr std::uint32_t kLockWaitMs = 2000;

enum class FileRead {
    Missing,     // no such file
    Unreadable,  // there, but it could not be read within kLockWaitMs
    Read,
};
// Reads a whole file, waiting out a lock.
FileRead ReadWaiting(const std::string& path, std::string& bytes);
// Renames, waiting out a lock on either name; false at once when from does not exist.
bool RenameWaiting(const std::string& from, const std::string& to, bool replace);
// Deletes, waiting out a lock; true when the file is gone.
bool DeleteWaiting(const std::string& path);

// Creates path, writes bytes, flushes and closes. False on any failure, and then the
// half-written file is deleted. Waits out a lock on path before giving up.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// The same with the bytes given as pieces written one after the other.
bool WriteWholeFile(const std::string& path, std::span<const std::string_view> pieces);

}  // namespace textlines
