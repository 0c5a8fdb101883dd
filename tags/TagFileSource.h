// Which file a load or a save starts from, and what of its bytes are ours.
#pragma once

#include <string>
#include <string_view>

#include "tags/TagFile.h"

namespace tagfile {

// A file the store cannot read or write: one another program saved as UTF-16 (a Windows
// editor's "Unicode"). Its bytes are not ours to rewrite or to guess at.
bool IsForeign(std::string_view bytes);

// The bytes without the UTF-8 byte-order mark a Windows editor puts in front: the rest is the
// file as we wrote it, and the mark must neither hide the first key nor land inside a file.
std::string_view WithoutMark(std::string_view bytes);

// Nothing at all but line ends, blanks, zeros and end-of-file bytes: a file emptied by a crash,
// a sync conflict or a user. Never worth more than the backup beside it.
bool IsBlank(std::string_view bytes);

// A key as it is written: one line, and without byte-order marks in front (a jump text pasted
// from a UTF-8 file). The first key written starts the file, where a reader takes a UTF-8 mark
// for an editor's and a UTF-16 one for a file that is not ours. No drawing's path starts so.
std::string KeyLine(const std::string& key);

// The previous file a load starts from.
struct Source {
    TBlockLookup state = TBlockLookup::None;  // None: read (or there is none); else why not
    std::string path;                         // the file read, or the one that stood in the way
    std::string bytes;
};

// The tag file; when a save was cut short between its renames, the temporary it had completed;
// after a save that failed to rename back, the backup. A blank tag file gives way to the
// backup. A file that is there but cannot be read is never passed over for an older one:
// what it holds is unknown, not absent.
Source ReadSource(const std::string& tagFile, const std::string& tbkFile);

}  // namespace tagfile
