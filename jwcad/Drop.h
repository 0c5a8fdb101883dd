// Drawing files dropped onto the strip, as the window read them.
#pragma once

#include <string>

struct TDroppedFile {
    std::string Path;  // Shift-JIS
    bool Folder = false;
    // False when the path holds a character that Shift-JIS has not: Path is then only an
    // approximation, fit for a message and for nothing else.
    bool Representable = true;
};
